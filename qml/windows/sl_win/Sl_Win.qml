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
    function openEditor() {
        patterns.updateModel()
        layers.refresh()
        open()
    }
    FV_Editor {
        window: win
        FV_MasterDetail {
            id: layers
            anchors.fill: parent
            list: win.list
            sortable: true
            columns: [
                {title: "Location", role: "loc", kind: "linker", width: 130, tip: "Span location of the control point, mm"},
                {title: "Number", role: "num", kind: "linker", width: 130, tip: "Times the laminate is stacked there (a count; fractions are cut)"}
            ]
            FV_Label { text: "Laminate Pattern:" }
            FV_ComboBox {
                objectName: "patternChoice"
                Layout.fillWidth: true
                model: win.patterns ? win.patterns.SonNames : []
                currentIndex: layers.current ? layers.current.PatternInd : -1
                onActivated: if (layers.current) layers.current.PatternInd = index
            }
        }
    }
}
