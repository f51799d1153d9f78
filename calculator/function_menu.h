#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "calculator/user_functions.h"

class QMenu;
class QObject;

namespace pq::calc {

// The user-function menu as a tree: each function's name path
// ("Category\Sub\Name") gives its submenus and its item. A node lists its
// submenus first, grouped by the code of their first character in steps of
// 16 (later-created first within a step), then its items in the order added.
class FunctionMenu {
  public:
    struct Item {
        QString text;
        unsigned command;
    };
    struct Node {
        QString text;
        std::vector<std::unique_ptr<Node>> submenus; // in creation order
        std::vector<Item> items;
        // Submenus in the order they are listed.
        std::vector<const Node*> listedSubmenus() const;
    };

    // In the standard view only one-parameter functions are offered, by
    // their full name; in the scientific view every function is offered by
    // its category path and declaration.
    FunctionMenu(const UserFunctionList& functions, bool standardView, unsigned firstCommand);

    const Node& root() const { return root_; }
    // Adds the tree to a menu; choosing an item posts its command to receiver.
    void fill(QMenu* menu, QObject* receiver) const;

  private:
    void add(Node& node, const QString& path, unsigned command);

    Node root_;
};

} // namespace pq::calc
