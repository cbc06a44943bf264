import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// Load cases and, for the selected one, its point loads.
FV_Manager_Win {
    id: win
    title: "Load Manager"
    width: 780
    height: 460
    property var list: kblade.Models[KBlade.Loads]
    property var current: list && tree.currentIndex >= 0 ? list.Sons[tree.currentIndex] : null
    function openEditor() {
        tree.view.refresh()
        loads.refresh()
        open()
    }
    FV_Editor {
        window: win
        RowLayout {
            anchors.fill: parent
            spacing: 10
            FV_ListTree {
                id: tree
                list: win.list
                Layout.preferredWidth: 200
                Layout.fillHeight: true
                onChanged: loads.refresh()
            }
            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                RowLayout {
                    FV_Label { text: "Name:" }
                    FV_TextBox {
                        Layout.fillWidth: true
                        text: win.current ? win.current.Name : ""
                        onEditingFinished: if (win.current) { win.current.Name = text; win.list.updateModel(); tree.view.refresh() }
                    }
                }
                FV_Item_Table {
                    id: loads
                    objectName: "loads"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    sortable: true
                    tableModel: win.list ? win.list.TableModel : null
                    columns: [
                        {title: "Location", role: "loc", kind: "number", width: 100},
                        {title: "X", role: "x", kind: "number", width: 90},
                        {title: "Y", role: "y", kind: "number", width: 90},
                        {title: "Z", role: "z", kind: "number", width: 90}
                    ]
                }
            }
        }
    }
}
