#pragma once
// The original store: a bank file as it was read, never changed while it is loaded, and the
// layout of its sounds that saving keeps. Sounds keep it alive for as long as they refer to it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "File.h"
#include "PageBuffer.h"
#include "SoundSlot.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

// Bytes of the file that belong together when saving: one sound's header and samples, or
// several sounds whose bytes overlap, which only move as one piece.
struct BankCluster {
  std::uint64_t Start = 0;
  std::uint64_t End = 0;
};

class LoadedBank : public std::enable_shared_from_this<LoadedBank> {
 public:
  // Reads and parses the whole file; fails with the reason (not naming the file).
  static Result<std::shared_ptr<const LoadedBank>> Read(const std::filesystem::path& file);

  std::span<const std::uint8_t> Bytes() const { return {buffer_.data(), buffer_.size()}; }
  const FileStamp& Stamp() const { return stamp_; }
  // Where the sounds' bytes may begin: after the count and the offset table.
  std::uint64_t TableEnd() const { return TableBytes(parsed_.Count); }

  // The header as the file holds it at `offset` (bytes past the end read as zero).
  TbSoundEntry HeaderAt(std::uint32_t offset) const;
  // Clusters in file order; they do not overlap.
  const std::vector<BankCluster>& Clusters() const { return clusters_; }
  // The cluster holding the sound whose header is at `offset`; none when its header starts at
  // or past the end of the file.
  std::optional<std::size_t> ClusterOf(std::uint32_t offset) const;
  // Every sound as the file holds it, in table order.
  std::vector<SoundSlot> Slots() const;

 private:
  LoadedBank(PageBuffer buffer, TbSoundBank parsed, FileStamp stamp);
  void FindClusters();

  PageBuffer buffer_;
  TbSoundBank parsed_;
  FileStamp stamp_;
  std::vector<BankCluster> clusters_;
  // Each distinct header offset inside the file, ascending, with its cluster.
  std::vector<std::pair<std::uint32_t, std::size_t>> clusterOf_;
};

}  // namespace Orvane
