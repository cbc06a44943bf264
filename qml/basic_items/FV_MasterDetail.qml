import QtQuick 2.12
import QtQuick.Layouts 1.12
import "FVstyle.js" as FVstyle

// The sons of a list on the left (add, delete, unless they are fixed), and
// on the right the selected son's name (unless it is fixed), any further
// fields given as children, and its own rows in the list's table. Renaming
// a son leaves its rows as they are, so a field being edited there keeps
// its focus.
RowLayout {
    id: md
    property var list
    property alias columns: details.columns
    property alias sortable: details.sortable
    property alias currentIndex: tree.currentIndex
    property int listWidth: 220
    property alias growable: tree.growable
    property bool renamable: true
    readonly property var current: list && tree.currentIndex >= 0 && tree.currentIndex < list.Sons.length
                                   ? list.Sons[tree.currentIndex] : null
    default property alias fields: fieldGrid.data
    spacing: 10

    function refresh() {
        tree.view.refresh()
        details.refresh()
    }

    FV_ListTree {
        id: tree
        list: md.list
        Layout.preferredWidth: md.listWidth
        Layout.fillHeight: true
        onChanged: details.refresh()
    }
    ColumnLayout {
        Layout.fillWidth: true
        Layout.fillHeight: true
        GridLayout {
            id: fieldGrid
            columns: 2
            Layout.fillWidth: true
            FV_Label { text: "Name:"; visible: md.renamable }
            FV_TextBox {
                objectName: "sonName"
                visible: md.renamable
                Layout.fillWidth: true
                text: md.current ? md.current.Name : ""
                onEditingFinished: if (md.current && text !== md.current.Name) md.list.renameSon(tree.currentIndex, text)
            }
        }
        FV_Item_Table {
            id: details
            objectName: "details"
            Layout.fillWidth: true
            Layout.fillHeight: true
            tableModel: md.list ? md.list.TableModel : null
        }
    }
}
