import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "basic_items"

// The per-user analysis settings: solver, program, work folder, cores.
FV_Manager_Win {
    id: win
    title: "Analysis Setting"
    width: 560
    height: 260
    property var settings: kblade.AnaSet
    signal browseWorkFolder()
    signal browseProgram()

    function refresh() {
        workDir.text = settings.WorkDir
        proDir.text = settings.ProDir
        solver.currentIndex = settings.Type
        cpus.text = settings.Cpus
    }
    onVisibleChanged: if (visible) refresh()

    FV_Editor {
        window: win
        GridLayout {
            anchors.fill: parent
            columns: 3
            FV_Label { text: "Work folder:" }
            FV_TextBox { id: workDir; objectName: "workFolder"; Layout.fillWidth: true; onEditingFinished: win.settings.WorkDir = text }
            FV_Button { objectName: "browseWorkFolder"; text: "Browse"; onClicked: win.browseWorkFolder() }
            FV_Label { text: "Solver:" }
            FV_ComboBox {
                id: solver
                Layout.fillWidth: true
                model: ["Ansys Mechanical APDL", "ABAQUS", "Calculix"]
                onActivated: win.settings.Type = index
            }
            Item { width: 1 }
            FV_Label { text: "Program:" }
            FV_TextBox { id: proDir; Layout.fillWidth: true; onEditingFinished: win.settings.ProDir = text }
            FV_Button { text: "Browse"; onClicked: win.browseProgram() }
            FV_Label { text: "Cpu cores:" }
            FV_TextBox {
                id: cpus
                validator: IntValidator { bottom: 1; top: 1024 }
                onEditingFinished: win.settings.Cpus = parseInt(text)
            }
            FV_Button { text: "Save Setting"; onClicked: win.settings.saveSetting() }
        }
    }
}
