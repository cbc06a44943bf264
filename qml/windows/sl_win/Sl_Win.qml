import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// Single layers and, for the selected one, its pattern and control points.
FV_Manager_Win {
    id: win
    title: "Single Layer Manager"
    width: 760
    height: 460
    property var list: kblade.Models[KBlade.SingleLayers]
    property var patterns: kblade.Models[KBlade.Patterns]
    property var current: list && tree.currentIndex >= 0 ? list.Sons[tree.currentIndex] : null
    function openEditor() {
        patterns.updateModel()
        tree.view.refresh()
        points.refresh()
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
                Layout.preferredWidth: 220
                Layout.fillHeight: true
                onChanged: points.refresh()
            }
            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                GridLayout {
                    columns: 2
                    FV_Label { text: "Name:" }
                    FV_TextBox {
                        objectName: "sonName"
                        Layout.fillWidth: true
                        text: win.current ? win.current.Name : ""
                        onEditingFinished: if (win.current) { win.current.Name = text; win.list.updateModel(); tree.view.refresh() }
                    }
                    FV_Label { text: "Laminate Pattern:" }
                    FV_ComboBox {
                        objectName: "patternChoice"
                        Layout.fillWidth: true
                        model: win.patterns.SonNames
                        currentIndex: win.current ? win.current.PatternInd : -1
                        onActivated: if (win.current) win.current.PatternInd = index
                    }
                }
                FV_Item_Table {
                    id: points
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    sortable: true
                    tableModel: win.list ? win.list.TableModel : null
                    columns: [
                        {title: "Location", role: "loc", kind: "linker", width: 130},
                        {title: "Number", role: "num", kind: "linker", width: 130}
                    ]
                }
            }
        }
    }
}
