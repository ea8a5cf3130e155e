// Keeping the user's place in the tree across a reload.
#include "app/func_tree.h"

namespace nokari {

TreePlace rememberPlace(const FuncTree& tree, const NodeRef& selected, const NodeRef& top) {
  TreePlace place;
  if (const TreeNode* sel = nodeAt(tree, selected)) {
    if (selected.level() == 1) {
      place.selText = sel->text;
    } else if (selected.level() == 2) {
      place.selNested = true;
      place.selParent = nodeAt(tree, {selected.group, selected.child, -1})->text;
      place.selText = sel->text;
    }
  }
  if (const TreeNode* t = nodeAt(tree, top)) {
    place.topLevel = top.level();
    place.topText = t->text;
    if (top.level() == 2) place.topParent = nodeAt(tree, {top.group, top.child, -1})->text;
  }
  return place;
}

RestoredPlace restorePlace(const TreePlace& place, const FuncTree& tree) {
  RestoredPlace out;
  if (place.selText.empty()) return out;
  for (const NodeRef& ref : treeOrder(tree)) {
    const TreeNode* node = nodeAt(tree, ref);
    const TreeNode* parent = ref.level() > 0
                                 ? nodeAt(tree, {ref.group, ref.level() == 2 ? ref.child : -1, -1})
                                 : nullptr;
    auto matches = [&](const Text& parentText, const Text& ownText) {
      return node->text == ownText && parent && parent->text == parentText;
    };
    if ((place.topLevel == 0 || place.topLevel == 1) && node->text == place.topText) {
      out.top = ref;
    } else if (place.topLevel == 2 && matches(place.topParent, place.topText)) {
      out.top = ref;
    }
    if (place.selNested ? matches(place.selParent, place.selText) : node->text == place.selText) {
      out.selected = ref;
      break;
    }
  }
  return out;
}

}  // namespace nokari
