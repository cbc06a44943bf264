import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The blade setting: its name and the regions around the profile.
FV_Manager_Win {
    id: win
    title: "Blade Setting"
    width: 420
    height: 460
    property var list: kblade.Models[KBlade.Setting]
    function openEditor() {
        list.updateModel()
        bladeName.text = list.BladeName
        open()
    }
    FV_Editor {
        window: win
        ColumnLayout {
            anchors.fill: parent
            RowLayout {
                FV_Label { text: "Blade Name:" }
                FV_TextBox {
                    id: bladeName
                    objectName: "bladeName"
                    Layout.fillWidth: true
                    onEditingFinished: win.list.BladeName = text
                }
            }
            FV_Label { text: "Regions" ; font.bold: true }
            FV_ListTree_Move {
                list: win.list
                editable: true
                Layout.fillWidth: true
                Layout.fillHeight: true
            }
        }
    }
}
