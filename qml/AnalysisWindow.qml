import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "basic_items"

// The per-user analysis settings (solver, program, work folder, cores),
// and the analysis they run: static, buckling or modal, in the background.
FV_Manager_Win {
    id: win
    title: "Analysis Setting"
    width: 600
    height: 480
    modality: Qt.NonModal
    property var settings: kblade.AnaSet
    signal browseWorkFolder()
    signal browseProgram()
    // The run should start: the main window commits edits and starts it.
    signal runRequested(int kind, int loadIndex, int modes)

    function refresh() {
        workDir.text = settings.WorkDir
        proDir.text = settings.ProDir
        solver.currentIndex = settings.Type
        cpus.text = settings.Cpus
        workers.text = settings.Workers
        timeLimit.text = settings.TimeLimit
    }
    onVisibleChanged: if (visible) {
        refresh()
        kblade.Models[KBlade.Loads].updateModel()
        loadCase.model = kblade.Models[KBlade.Loads].SonNames
    }

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
            FV_TextBox { id: proDir; objectName: "solverProgram"; Layout.fillWidth: true; onEditingFinished: win.settings.ProDir = text }
            FV_Button { text: "Browse"; onClicked: win.browseProgram() }
            FV_Label { text: "Cpu cores:" }
            FV_TextBox {
                id: cpus
                validator: IntValidator { bottom: 1; top: 1024 }
                onEditingFinished: win.settings.Cpus = parseInt(text)
            }
            FV_Button { objectName: "saveSetting"; text: "Save Setting"; onClicked: win.settings.saveSetting() }
            // How an optimisation evaluates its designs: 0 workers is one per
            // free share of the cores, 0 s no time limit.
            FV_Label { text: "Workers:" }
            FV_TextBox {
                id: workers
                objectName: "workers"
                validator: IntValidator { bottom: 0; top: 4096 }
                onEditingFinished: win.settings.Workers = parseInt(text)
            }
            Item { width: 1 }
            FV_Label { text: "Time limit per design (s):" }
            FV_TextBox {
                id: timeLimit
                objectName: "timeLimit"
                validator: IntValidator { bottom: 0 }
                onEditingFinished: win.settings.TimeLimit = parseInt(text)
            }
            Item { width: 1 }

            FV_Label { text: "Analysis:"; font.bold: true }
            FV_ComboBox {
                id: kind
                objectName: "analysisKind"
                Layout.fillWidth: true
                model: ["Static (load case)", "Buckling (under the load case)", "Modal (natural frequencies)"]
            }
            Item { width: 1 }
            FV_Label { text: "Load case:" }
            FV_ComboBox {
                id: loadCase
                objectName: "analysisLoadCase"
                Layout.fillWidth: true
                enabled: kind.currentIndex !== 2
            }
            Item { width: 1 }
            FV_Label { text: "Modes:" }
            FV_TextBox {
                id: modes
                objectName: "analysisModes"
                text: "5"
                enabled: kind.currentIndex !== 0
                validator: IntValidator { bottom: 1; top: 100 }
            }
            Item { width: 1 }
            FV_Button {
                objectName: "runAnalysis"
                text: "Run"
                enabled: !analysis.Running
                onClicked: win.runRequested(kind.currentIndex, loadCase.currentIndex, parseInt(modes.text))
            }
            FV_Label {
                objectName: "analysisProgress"
                Layout.fillWidth: true
                elide: Text.ElideRight
                text: analysis.Progress
            }
            FV_Button {
                objectName: "cancelAnalysis"
                text: "Cancel"
                enabled: analysis.Running
                onClicked: analysis.cancel()
            }
        }
    }
}
