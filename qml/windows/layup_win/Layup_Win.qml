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
        stack.refresh()
        open()
    }
    FV_Editor {
        window: win
        // The regions and webs are those of the blade: named and counted
        // where they are defined.
        FV_MasterDetail {
            id: stack
            anchors.fill: parent
            list: win.list
            growable: false
            renamable: false
            columns: [{title: "Single Layer", role: "sl", kind: "combo", width: 200, choices: win.layers ? win.layers.SonNames : []}]
        }
    }
}
