import QtQuick 2.12
import QtQuick.Layouts 1.12
import "FVstyle.js" as FVstyle

// A list of sons with "Add" and "Delete" below it (unless the list's sons
// are fixed).
ColumnLayout {
    id: tree
    property var list
    property alias view: listView
    property alias editable: listView.editable
    property alias currentIndex: listView.currentIndex
    property bool growable: true
    signal changed()
    spacing: 4
    FV_ListView {
        id: listView
        objectName: "sons"
        list: tree.list
        Layout.fillWidth: true
        Layout.fillHeight: true
    }
    RowLayout {
        visible: tree.growable
        FV_Button {
            objectName: "addSon"
            text: "Add"
            onClicked: {
                tree.list.addSon()
                listView.refresh(tree.list.rowCount() === 1 ? 0 : tree.list.rowCount() - 1)
                tree.changed()
            }
        }
        FV_Button {
            objectName: "deleteSon"
            text: "Delete"
            onClicked: {
                const row = listView.currentIndex
                if (tree.list.delSon(row)) {
                    listView.refresh(row)
                    tree.changed()
                }
            }
        }
    }
}
