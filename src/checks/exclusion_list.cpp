#include "checks/exclusion_list.h"

#include <algorithm>
#include <unordered_set>

#include "platform/collate.h"
#include "source/scanner.h"

namespace nokari {

const char16_t kDefaultExclusionText[] =
    u"T,nil,*error*,PI,pause,vlax-vbEmpty,vlax-vbNull,vlax-vbVariant,vlax-vbInteger,"
    u"vlax-vbLong,vlax-vbSingle,vlax-vbDouble,vlax-vbString,vlax-vbObject,vlax-vbBoolean,"
    u"vlax-vbArray,:vlax-false,:vlax-true,acSelectionSetWindow,acSelectionSetCrossing,"
    u"acSelectionSetPrevious,acSelectionSetLast,acSelectionSetAll,acAlignmentLeft,"
    u"acAlignmentCenter,acAlignmentRight,acAlignmentAligned,acAlignmentMiddle,"
    u"acAlignmentFit,acAlignmentTopLeft,acAlignmentTopCenter,acAlignmentTopRight,"
    u"acAlignmentMiddleLeft,acAlignmentMiddleCenter,acAlignmentMiddleRight,"
    u"acAlignmentBottomLeft,acAlignmentBottomCenter,acAlignmentBottomRight,"
    u"acActiveViewport,acAllViewports,acExtendNone,acExtendThisEntity,acExtendOtherEntity,"
    u"acExtendBoth,acInches,acMillimeters,acPixels,ac0degrees,ac90degrees,ac180degrees,"
    u"ac270degrees,acDisplay,acExtents,acLimits,acView,acWindow,acLayout";

namespace {

// Key of the duplicate test while the list is built: trimmed and ASCII-upper-cased.
Text exclusionKey(std::u16string_view s) { return upperAscii(trim(s)); }

}  // namespace

ExclusionList ExclusionList::defaults() { return withFileLines({}); }

ExclusionList ExclusionList::withFileLines(const TextList& fileLines) {
  ExclusionList list;
  list.entries_ = splitCommaText(kDefaultExclusionText);
  std::unordered_set<Text> keys;
  for (const Text& e : list.entries_) keys.insert(upperAscii(e));
  for (const Text& line : fileLines) {
    Text key = exclusionKey(line);
    if (key.empty() || !keys.insert(key).second) continue;
    list.entries_.push_back(trim(line));
  }
  list.sort();
  return list;
}

void ExclusionList::sort() { sortTextIgnoreCase(entries_); }

bool ExclusionList::contains(std::u16string_view name) const {
  // The list is sorted with the same collation, so a binary search finds every equal entry.
  auto it = std::lower_bound(
      entries_.begin(), entries_.end(), name,
      [](const Text& e, std::u16string_view n) { return compareTextIgnoreCase(e, n) < 0; });
  return it != entries_.end() && compareTextIgnoreCase(*it, name) == 0;
}

}  // namespace nokari
