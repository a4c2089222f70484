#include "BankLayout.h"

#include <optional>

#include "BankWriter.h"
#include "Text.h"

namespace Orvane {
namespace {

std::optional<std::size_t> ClusterOfSound(const LoadedBank& base, const SoundSlot& sound) {
  if (sound.From.get() != &base) return std::nullopt;
  return base.ClusterOf(sound.Origin);
}

// The bytes of a sound as its file holds them: its header (40 bytes at least, even when its
// samples begin sooner) through its samples.
std::span<const std::uint8_t> LoadedExtent(const SoundSlot& sound) {
  const TbSoundEntry& h = sound.Element.Entry;
  const auto file = sound.From->Bytes();
  const std::uint64_t span =
      std::max<std::uint64_t>(TbSoundEntry::kSize, std::uint64_t{h.HeaderSize} + h.DataSize);
  return file.subspan(sound.Origin, static_cast<std::size_t>(std::min<std::uint64_t>(span, file.size() - sound.Origin)));
}

class Planner {
 public:
  Planner(const LoadedBank& base, std::span<const SoundSlot> sounds, bool keepHead)
      : base_(base), sounds_(sounds), keepHead_(keepHead) {}

  Result<BankPlan> Plan() {
    const auto& clusters = base_.Clusters();
    Classify();
    plan_.Offsets.assign(sounds_.size(), 0);
    pos_ = TableBytes(sounds_.size());
    std::uint64_t cursor = base_.TableEnd();  // in the loaded file: what is emitted up to
    EmitFresh(front_);
    std::vector<std::uint64_t> clusterAt(clusters.size(), 0);
    for (std::size_t c = 0; c < clusters.size(); ++c) {
      const BankCluster& cluster = clusters[c];
      if (cluster.Start > cursor) EmitLoaded(cursor, cluster.Start);
      EmitFresh(before_[c]);
      if (kept_[c]) {
        clusterAt[c] = pos_;
        const std::uint64_t from = std::max(cluster.Start, base_.TableEnd());
        // A sound in the table's bytes keeps its offset: its other bytes must not move either.
        if (cluster.Start < base_.TableEnd() && pos_ != from) tableSoundsMoved_ = true;
        if (cluster.End > from) EmitLoaded(from, cluster.End);
      }
      EmitFresh(after_[c]);
      cursor = std::max(cursor, cluster.End);
    }
    if (base_.Bytes().size() > cursor) EmitLoaded(cursor, base_.Bytes().size());
    if (Status fits = CheckBankSize(pos_, "the bank would be at least"); !fits)
      return fits.Suffixed(std::string(kBankSizeMend));

    for (std::size_t i = 0; i < sounds_.size(); ++i) {
      if (!cluster_[i] || !keptSound_[i]) continue;
      const BankCluster& cluster = clusters[*cluster_[i]];
      // A sound in the bytes of the table stays where it is: that plan holds only when the
      // table comes out as it was (checked by the caller).
      const std::uint64_t at = cluster.Start < base_.TableEnd()
                                   ? sounds_[i].Origin
                                   : clusterAt[*cluster_[i]] + (sounds_[i].Origin - cluster.Start);
      plan_.Offsets[i] = static_cast<std::uint32_t>(at);
    }
    plan_.Size = pos_;
    return std::move(plan_);
  }

  // The plan keeps sounds whose bytes begin in the table, and the bytes after the table that
  // they span moved: only the table's coming out as it was would not make that plan hold.
  bool TableSoundsMoved() const { return tableSoundsMoved_; }

  bool KeepsTableSounds() const {
    for (std::size_t i = 0; i < sounds_.size(); ++i)
      if (keptSound_[i] && base_.Clusters()[*cluster_[i]].Start < base_.TableEnd()) return true;
    return false;
  }

 private:
  void Classify() {
    const std::size_t n = sounds_.size(), clusters = base_.Clusters().size();
    cluster_.resize(n);
    keptSound_.assign(n, false);
    kept_.assign(clusters, false);
    before_.assign(clusters, {});
    after_.assign(clusters, {});
    for (std::size_t i = 0; i < n; ++i) {
      cluster_[i] = ClusterOfSound(base_, sounds_[i]);
      if (!cluster_[i] || !IsUntouched(base_, sounds_[i])) continue;
      if (!keepHead_ && base_.Clusters()[*cluster_[i]].Start < base_.TableEnd()) continue;
      keptSound_[i] = true;
      kept_[*cluster_[i]] = true;
    }
    // Each new or edited sound's place, from the nearest sounds with a place in the file.
    std::vector<std::optional<std::size_t>> next(n + 1);
    for (std::size_t i = n; i-- > 0;) next[i] = cluster_[i] ? cluster_[i] : next[i + 1];
    std::optional<std::size_t> previous;
    for (std::size_t i = 0; i < n; ++i) {
      if (!keptSound_[i]) {
        if (cluster_[i])
          (kept_[*cluster_[i]] ? after_ : before_)[*cluster_[i]].push_back(i);
        else if (next[i + 1])
          before_[*next[i + 1]].push_back(i);
        else if (previous)
          after_[*previous].push_back(i);
        else
          front_.push_back(i);
      }
      if (cluster_[i]) previous = cluster_[i];
    }
  }

  void Append(std::span<const std::uint8_t> bytes, std::uint64_t size) {
    pos_ += size;
    if (bytes.empty()) return;
    auto& body = plan_.Body;
    if (!body.empty() && body.back().data() + body.back().size() == bytes.data())
      body.back() = {body.back().data(), body.back().size() + bytes.size()};
    else
      body.push_back(bytes);
  }

  void EmitLoaded(std::uint64_t from, std::uint64_t to) {
    Append(base_.Bytes().subspan(from, to - from), to - from);
  }

  void EmitFresh(const std::vector<std::size_t>& which) {
    for (std::size_t i : which) {
      const SoundSlot& sound = sounds_[i];
      if (pos_ > kMaxBankFileSize) return;  // refused once the whole size is known
      plan_.Offsets[i] = static_cast<std::uint32_t>(pos_);
      // A sound moved as it was (out of the table's bytes) keeps its bytes exactly, a header
      // shorter than 40 bytes included.
      if (!sound.Element.Damaged() && IsUntouched(base_, sound)) {
        const auto bytes = LoadedExtent(sound);
        Append(bytes, bytes.size());
        continue;
      }
      auto& header = plan_.Headers.emplace_back();
      sound.Element.Entry.Encode(header);
      // The header's bytes live in a deque: they stay where they are as it grows.
      Append(header, TbSoundEntry::kSize);
      const auto extra = ExtraHeaderBytes(sound);
      Append(extra, extra.size());
      // A damaged sound has no samples to write; it is never saved, only shown.
      Append(sound.Samples.Bytes, sound.Element.Damaged() ? 0 : sound.Element.Entry.DataSize);
    }
  }

  const LoadedBank& base_;
  std::span<const SoundSlot> sounds_;
  bool keepHead_;
  BankPlan plan_;
  std::uint64_t pos_ = 0;
  bool tableSoundsMoved_ = false;
  std::vector<std::optional<std::size_t>> cluster_;
  std::vector<bool> keptSound_, kept_;
  std::vector<std::vector<std::size_t>> before_, after_;
  std::vector<std::size_t> front_;
};

bool TableAsLoaded(const LoadedBank& base, const BankPlan& plan) {
  const auto table = EncodeTable(plan.Offsets);
  const auto loaded = base.Bytes();
  return table.size() <= loaded.size() && std::equal(table.begin(), table.end(), loaded.begin());
}

}  // namespace

std::span<const std::uint8_t> ExtraHeaderBytes(const SoundSlot& sound) {
  const std::uint32_t size = sound.Element.Entry.HeaderSize;
  if (size <= TbSoundEntry::kSize || !sound.From) return {};
  const auto file = sound.From->Bytes();
  const std::uint64_t start = std::uint64_t{sound.Origin} + TbSoundEntry::kSize;
  const std::uint64_t end = std::uint64_t{sound.Origin} + size;
  if (end > file.size()) return {};  // a damaged sound: never written
  return file.subspan(start, end - start);
}

bool IsUntouched(const LoadedBank& base, const SoundSlot& sound) {
  if (sound.From.get() != &base) return false;
  const TbSoundEntry& h = sound.Element.Entry;
  if (!(h == base.HeaderAt(sound.Origin))) return false;
  if (sound.Element.Damaged()) return !sound.Samples.Owner;
  const std::uint64_t start = std::uint64_t{sound.Origin} + h.HeaderSize;
  return start + h.DataSize <= base.Bytes().size() &&
         sound.Samples.Bytes.data() == base.Bytes().data() + start &&
         sound.Samples.Bytes.size() == h.DataSize;
}

Result<BankPlan> PlanBank(const LoadedBank& base, std::span<const SoundSlot> sounds) {
  if (Status fits = CheckBankSize(TableBytes(sounds.size()), "its offset table alone would be"); !fits)
    return fits;
  Planner keeping(base, sounds, true);
  auto plan = keeping.Plan();
  if (!plan || !keeping.KeepsTableSounds() ||
      (TableAsLoaded(base, *plan) && !keeping.TableSoundsMoved()))
    return plan;
  // Sounds whose bytes lie in the table cannot stay when the table changes: write them afresh.
  return Planner(base, sounds, false).Plan();
}

}  // namespace Orvane
