#pragma once
// Walking a subtree in document order without recursion, however deep it is.

#include <utility>
#include <vector>

#include "core/qelXMLParser2.h"

// Visits root and then every element below it in pre-order (an element before its
// children, children in order). visit returns true to stop the walk; the element
// it stopped at is returned, nullptr when the walk ran to its end.
template <class Node, class Visit>
Node* WalkPreOrder(Node* root, Visit visit)
{
    if (visit(root)) return root;
    // Each entry is an element and the index of its next child to visit.
    std::vector<std::pair<Node*, int>> stack{{root, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next >= node->Children.Count()) {
            stack.pop_back();
            continue;
        }
        Node* child = node->Children[next++];
        if (visit(child)) return child;
        if (child->Children.Count() > 0) stack.emplace_back(child, 0);
    }
    return nullptr;
}
