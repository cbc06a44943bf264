import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The regions and webs, and the stack of single layers of the selected one.
FV_Manager_Win {
    id: win
    title: "Region Layup Manager"
    width: 620
    height: 460
    property var list: kblade.Models[KBlade.Layups]
    property var layers: kblade.Models[KBlade.SingleLayers]
    function openEditor() {
        layers.updateModel()
        regions.refresh(0)
        stack.refresh()
        open()
    }
    FV_Editor {
        window: win
        RowLayout {
            anchors.fill: parent
            spacing: 10
            FV_ListView {
                id: regions
                list: win.list
                Layout.preferredWidth: 220
                Layout.fillHeight: true
                onCurrentIndexChanged: stack.refresh()
            }
            FV_Item_Table {
                id: stack
                Layout.fillWidth: true
                Layout.fillHeight: true
                tableModel: win.list ? win.list.TableModel : null
                columns: [{title: "Single Layer", role: "sl", kind: "combo", width: 200, choices: win.layers.SonNames}]
            }
        }
    }
}
