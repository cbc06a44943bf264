import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// Patterns and, for the selected one, its plies.
FV_Manager_Win {
    id: win
    title: "Laminate Manager"
    width: 860
    height: 440
    property var list: kblade.Models[KBlade.Patterns]
    property var materials: kblade.Models[KBlade.Materials]
    property var current: list && tree.currentIndex >= 0 ? list.Sons[tree.currentIndex] : null
    function openEditor() {
        materials.updateModel()
        tree.view.refresh()
        plies.refresh()
        open()
    }
    FV_Editor {
        window: win
        RowLayout {
            anchors.fill: parent
            spacing: 10
            FV_ListTree {
                id: tree
                objectName: "sonsTree"
                list: win.list
                Layout.preferredWidth: 220
                Layout.fillHeight: true
                onChanged: plies.refresh()
                currentIndex: 0
            }
            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                RowLayout {
                    FV_Label { text: "Name:" }
                    FV_TextBox {
                        objectName: "sonName"
                        Layout.fillWidth: true
                        text: win.current ? win.current.Name : ""
                        onEditingFinished: if (win.current) { win.current.Name = text; win.list.updateModel(); tree.view.refresh() }
                    }
                }
                FV_Item_Table {
                    id: plies
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    tableModel: win.list ? win.list.TableModel : null
                    columns: [
                        {title: "Material", role: "mat", kind: "combo", width: 140, choices: win.materials.SonNames},
                        {title: "Thickness", role: "thick", kind: "linker", width: 110},
                        {title: "Int. P", role: "intp", kind: "combo", width: 80, choices: ["1", "3", "5", "7", "9"]},
                        {title: "Orientation", role: "angle", kind: "linker", width: 110}
                    ]
                }
            }
        }
    }
}
