import QtQuick 2.12
import QtQuick.Controls 2.12

// A list tree whose sons also move up and down (Ctrl+Up, Ctrl+Down).
FV_ListTree {
    id: tree
    property Action moveUpAction: Action {
        text: "Move up"
        shortcut: "Ctrl+Up"
        onTriggered: if (tree.list.moveUp(tree.currentIndex)) { tree.view.refresh(tree.currentIndex - 1); tree.changed() }
    }
    property Action moveDownAction: Action {
        text: "Move down"
        shortcut: "Ctrl+Down"
        onTriggered: if (tree.list.moveDown(tree.currentIndex)) { tree.view.refresh(tree.currentIndex + 1); tree.changed() }
    }
}
