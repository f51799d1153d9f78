#include "calculator/function_menu.h"

#include <QMenu>

#include <algorithm>

#include "uikit/command_event.h"

namespace pq::calc {

namespace {

constexpr int kBuckets = 50;

int bucketOf(const QString& text) {
    return text.isEmpty() ? 0 : (text.front().unicode() / 16) % kBuckets;
}

void fillNode(const FunctionMenu::Node& node, QMenu* menu, QObject* receiver) {
    for (const FunctionMenu::Node* sub : node.listedSubmenus())
        fillNode(*sub, menu->addMenu(sub->text), receiver);
    for (const FunctionMenu::Item& item : node.items) {
        QAction* action = menu->addAction(item.text);
        const unsigned command = item.command;
        QObject::connect(action, &QAction::triggered, receiver,
                         [receiver, command] { ui::PostCommand(receiver, command); });
    }
}

} // namespace

std::vector<const FunctionMenu::Node*> FunctionMenu::Node::listedSubmenus() const {
    std::vector<const Node*> listed;
    for (auto it = submenus.rbegin(); it != submenus.rend(); ++it) listed.push_back(it->get());
    std::stable_sort(listed.begin(), listed.end(), [](const Node* a, const Node* b) {
        return bucketOf(a->text) < bucketOf(b->text);
    });
    return listed;
}

FunctionMenu::FunctionMenu(const UserFunctionList& functions, bool standardView,
                           unsigned firstCommand) {
    for (size_t i = 0; i < functions.size(); ++i) {
        const UserFunction& function = functions[i];
        const QString name = QString::fromStdU16String(function.name);
        const QString declaration = QString::fromStdU16String(function.declaration);
        QString path;
        if (standardView) {
            if (function.paramCount != 1) continue;
            path = name;
        } else {
            path = name.left(name.lastIndexOf(u'\\') + 1) + declaration;
        }
        add(root_, path, firstCommand + static_cast<unsigned>(i));
    }
}

void FunctionMenu::add(Node& node, const QString& path, unsigned command) {
    // Empty parts of a path (a doubled, leading or trailing backslash) are
    // passed over; a path with no text left is listed by its whole text.
    const int slash = path.indexOf(u'\\');
    if (slash < 0) {
        node.items.push_back({path.isEmpty() ? QStringLiteral("(unnamed)") : path, command});
        return;
    }
    const QString head = path.left(slash);
    const QString rest = path.mid(slash + 1);
    if (head.isEmpty()) return add(node, rest, command);
    if (rest.isEmpty() || rest.count(u'\\') == rest.size()) {
        node.items.push_back({head, command});
        return;
    }
    Node* sub = nullptr;
    for (auto& existing : node.submenus)
        if (existing->text == head) sub = existing.get();
    if (!sub) {
        node.submenus.push_back(std::make_unique<Node>());
        sub = node.submenus.back().get();
        sub->text = head;
    }
    add(*sub, rest, command);
}

void FunctionMenu::fill(QMenu* menu, QObject* receiver) const { fillNode(root_, menu, receiver); }

} // namespace pq::calc
