import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The sampling run: where, how many, what to export, which load case.
FV_Manager_Win {
    id: win
    title: "Sample Setting"
    width: 600
    height: 300
    property var list: kblade.Models[KBlade.SampleSet]
    property var loads: kblade.Models[KBlade.Loads]
    signal browseFolder()
    signal sampleRequested()
    function openEditor() {
        list.updateModel()
        loads.updateModel()
        refresh()
        open()
    }
    function refresh() {
        folder.text = list.SamFolder
        models.checked = list.ExportFVM
        feInput.checked = list.ExportFEM
        loadCase.model = loads.SonNames
        loadCase.currentIndex = list.LoadInd
        count.text = list.SamNum
    }
    FV_Editor {
        window: win
        GridLayout {
            anchors.fill: parent
            columns: 3
            FV_Label { text: "Export blades to:" }
            FV_TextBox { id: folder; objectName: "sampleFolder"; Layout.fillWidth: true; onEditingFinished: win.list.SamFolder = text }
            FV_Button { text: "Browse"; onClicked: win.browseFolder() }
            FV_Checkbox { id: models; text: "Export Folvane Files"; onToggled: win.list.ExportFVM = checked }
            FV_Checkbox { id: feInput; text: "Export FE Files"; onToggled: win.list.ExportFEM = checked }
            Item { width: 1 }
            FV_Label { text: "Load Case:" }
            FV_ComboBox { id: loadCase; Layout.fillWidth: true; onActivated: win.list.LoadInd = index }
            Item { width: 1 }
            FV_Label { text: "Blade number:" }
            FV_TextBox {
                id: count
                validator: IntValidator { bottom: 0 }
                onEditingFinished: win.list.SamNum = parseInt(text)
            }
            FV_Button { objectName: "sampleExport"; text: "Export"; onClicked: { win.commit(); win.sampleRequested() } }
        }
    }
}
