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
    function openEditor() {
        materials.updateModel()
        plies.refresh()
        open()
    }
    FV_Editor {
        window: win
        FV_MasterDetail {
            id: plies
            anchors.fill: parent
            list: win.list
            columns: [
                {title: "Material", role: "mat", kind: "combo", width: 140, choices: win.materials ? win.materials.SonNames : []},
                {title: "Thickness", role: "thick", kind: "linker", width: 110, tip: "Ply thickness, mm"},
                {title: "Int. P", role: "intp", kind: "combo", width: 80, choices: ["1", "3", "5", "7", "9"], tip: "Integration points through the ply"},
                {title: "Orientation", role: "angle", kind: "linker", width: 110, tip: "Ply angle, degrees: 0 runs around the profile, 90 along the span"}
            ]
        }
    }
}
