#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "EditHistory.h"

namespace Orvane {
namespace {

// An edit that names its sound by its header's Unknown field: each sound holds which edit put it.
std::unique_ptr<BankChange> Change(std::vector<SoundSlot>& sounds, std::uint32_t to) {
  SoundSlot after = sounds[0];
  after.Element.Entry.Unknown = to;
  auto change = std::make_unique<SoundsChanged>(
      "Edit sound 0", std::vector<SoundsChanged::Exchange>{{0, sounds[0], after}});
  change->Apply(sounds);
  return change;
}

std::uint32_t Now(const std::vector<SoundSlot>& sounds) { return sounds[0].Element.Entry.Unknown; }

TEST(EditHistory, UndoAndRedoWalkTheEditsAndModifiedMeansAwayFromTheSavedPoint) {
  std::vector<SoundSlot> sounds(1);
  EditHistory history;
  EXPECT_FALSE(history.IsModified());
  EXPECT_FALSE(history.Undo(sounds));
  history.Record(Change(sounds, 1));
  history.Record(Change(sounds, 2));
  EXPECT_TRUE(history.IsModified());
  EXPECT_EQ(history.UndoName(), "Edit sound 0");
  EXPECT_FALSE(history.RedoName());

  ASSERT_TRUE(history.Undo(sounds));
  EXPECT_EQ(Now(sounds), 1u);
  history.MarkSaved();
  EXPECT_FALSE(history.IsModified());
  ASSERT_TRUE(history.Redo(sounds));
  EXPECT_EQ(Now(sounds), 2u);
  EXPECT_TRUE(history.IsModified());
  ASSERT_TRUE(history.Undo(sounds));
  EXPECT_FALSE(history.IsModified()) << "back at the saved point";
  const std::uint64_t saved = history.State();

  // Undone past the saved point and replaced: the saved state can never come back.
  ASSERT_TRUE(history.Undo(sounds));
  EXPECT_EQ(Now(sounds), 0u);
  history.Record(Change(sounds, 3));
  EXPECT_FALSE(history.RedoName()) << "the edits undone before it are gone";
  EXPECT_TRUE(history.IsModified());
  ASSERT_TRUE(history.Undo(sounds));
  EXPECT_TRUE(history.IsModified());
  EXPECT_NE(history.State(), saved);
  EXPECT_FALSE(history.Undo(sounds));
}

}  // namespace
}  // namespace Orvane
