import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import QtQuick.Dialogs 1.3
import Folvane 0.1
import "basic_items"
import "basic_items/FVstyle.js" as FVstyle
import "windows/par_win"
import "windows/set_win"
import "windows/pro_win"
import "windows/keyind_win"
import "windows/web_win"
import "windows/mat_win"
import "windows/pat_win"
import "windows/sl_win"
import "windows/layup_win"
import "windows/load_win"
import "windows/mesh_win"

ApplicationWindow {
    id: mainWindow
    objectName: "FV_MainWindow"
    visible: true
    width: 1100
    height: 760
    font.pointSize: FVstyle.fontSize
    property string titlePrefix: "Folvane Demo v0.76 - "
    property string documentPath: kblade.Fp
    // Unsaved changes mark the title; the document is compared with what
    // was last opened or saved.
    property bool modified: false
    title: (modified ? "* " : "") + titlePrefix + documentPath
    Timer {
        interval: 500
        running: true
        repeat: true
        onTriggered: mainWindow.modified = kblade.isModified()
    }

    // Runs an action that replaces the document (or ends the window) once
    // unsaved changes are saved or dropped; nothing when the user cancels.
    property var pendingAction: null
    property bool closeConfirmed: false
    function whenSaved(action) {
        commitEdits()
        if (!kblade.isModified()) {
            action()
            return
        }
        pendingAction = action
        unsaved.open()
    }
    function runPending() {
        const action = pendingAction
        pendingAction = null
        if (action)
            action()
    }
    onClosing: function(close) {
        if (closeConfirmed)
            return
        commitEdits()
        if (!kblade.isModified())
            return
        close.accepted = false
        whenSaved(function() { closeConfirmed = true; mainWindow.close() })
    }

    // Every editor writes what is being typed in it before the document is
    // saved, exported, built or replaced.
    function commitEdits() {
        for (var i = 0; i < editors.length; ++i)
            editors[i].commit()
    }
    readonly property var editors: [parWindow, settingWindow, profileWindow, keyWindow, webWindow, materialWindow,
                                    patternWindow, layerWindow, layupWindow, loadWindow, meshWindow, optWindow,
                                    sampleWindow, analysisWindow]

    // Runs an operation of the document that says whether it worked; when
    // it did not, the log keeps the failure with the lines that say why and
    // a dialog points to them.
    function act(what, operation) {
        commitEdits()
        messages.begin()
        const ok = operation()
        if (!ok) {
            messages.failed(what + " failed")
            failed.title = what
            failed.text = what + " failed."
            failed.open()
        }
        return ok
    }

    // After a model file was opened or saved under a new name.
    function showDocument() {
        titlePrefix = "Folvane - "
        documentPath = kblade.HasFP ? kblade.Fp : ""
    }
    function refreshView() {
        profileView.update()
    }
    function chooseFile(mode) {
        commitEdits()
        fileDialog.mode = mode
        fileDialog.open()
    }
    // A save under a new name: as a model file (".fvm" appended when the
    // name lacks it), over an existing file only when the user says so;
    // then what waited for the save, when it worked.
    function saveAs(path, next) {
        if (kblade.fileExists(path)) {
            overwrite.path = path
            overwrite.next = next
            overwrite.open()
        } else {
            writeAs(path, next)
        }
    }
    function writeAs(path, next) {
        kblade.Fp = path
        const saved = act("Save", function() { return kblade.writeFile() })
        showDocument()
        if (saved && next)
            next()
    }
    function showFEModel() {
        commitEdits()
        messages.begin()
        kblade.genFEModel()
        if (kblade.ElementCount > 0) {
            kblade.gen3DModel()
        } else {
            messages.failed("Building the FE model failed")
            noModel.open()
        }
        feWindow.showModel()
    }

    header: ToolBar {
        RowLayout {
            spacing: 2
            FV_Icon_Button { objectName: "newAction"; text: "New"; iconSource: "qrc:/icons/new.svg"; onClicked: mainWindow.whenSaved(function() { kblade.newFile(); mainWindow.showDocument(); mainWindow.refreshView() }) }
            FV_Icon_Button { objectName: "openAction"; text: "Open"; iconSource: "qrc:/icons/open.svg"; onClicked: mainWindow.whenSaved(function() { mainWindow.chooseFile("open") }) }
            FV_Icon_Button { objectName: "saveAction"; text: "Save"; iconSource: "qrc:/icons/save.svg"; onClicked: kblade.HasFP ? mainWindow.act("Save", function() { return kblade.writeFile() }) : mainWindow.chooseFile("save") }
            FV_Icon_Button { objectName: "saveAsAction"; text: "Save as"; iconSource: "qrc:/icons/save_as.svg"; onClicked: mainWindow.chooseFile("save") }
            FV_Icon_Button { objectName: "exportJsonAction"; text: "Export JSON"; iconSource: "qrc:/icons/json_export.svg"; onClicked: mainWindow.chooseFile("exportJson") }
            FV_Icon_Button { objectName: "importJsonAction"; text: "Import JSON"; iconSource: "qrc:/icons/json_import.svg"; onClicked: mainWindow.chooseFile("importJson") }
            FV_Icon_Button { objectName: "importWindioAction"; text: "Import windIO…"; iconSource: "qrc:/icons/windio_import.svg"; onClicked: mainWindow.whenSaved(function() { mainWindow.chooseFile("importWindio") }) }
            FV_Icon_Button {
                objectName: "importLoadsAction"
                // The text is the tool tip: what a row of the table does.
                text: "Import load table…\nOne header line, then a row per line: span location (mm), Fx, Fy, Fz (N).\n"
                      + "The rows become the point loads of a new load case named after the file. The FE model spreads\n"
                      + "each row's force evenly over the stations nearer to it than to the rows beside it: a single row\n"
                      + "over the whole blade, root included. A location outside the blade refuses the table."
                iconSource: "qrc:/icons/loads_import.svg"
                onClicked: mainWindow.chooseFile("importLoads")
            }
            FV_Icon_Button { objectName: "settingsAction"; text: "Analysis settings"; iconSource: "qrc:/icons/settings.svg"; onClicked: analysisWindow.open() }
            FV_Icon_Button { objectName: "feAction"; text: "FE view"; iconSource: "qrc:/icons/fe_view.svg"; onClicked: mainWindow.showFEModel() }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 6
        spacing: 6
        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 8
            ColumnLayout {
                id: editorButtons
                Layout.alignment: Qt.AlignTop
                Layout.preferredWidth: 190
                Layout.minimumWidth: 190
                spacing: 3
                Repeater {
                    model: [
                        {text: "Parameter", window: parWindow},
                        {text: "Blade Setting", window: settingWindow},
                        {text: "Profile", window: profileWindow},
                        {text: "Region Shape", window: keyWindow},
                        {text: "Web", window: webWindow},
                        {text: "Material", window: materialWindow},
                        {text: "Laminate", window: patternWindow},
                        {text: "Layer", window: layerWindow},
                        {text: "Layup", window: layupWindow},
                        {text: "Loads", window: loadWindow},
                        {text: "Mesh", window: meshWindow},
                        {text: "Optimisation Setting", window: optWindow},
                        {text: "Sample Setting", window: sampleWindow}
                    ]
                    FV_Button {
                        objectName: "editor" + modelData.text.replace(" ", "")
                        Layout.fillWidth: true
                        text: modelData.text
                        onClicked: modelData.window.openEditor()
                    }
                }
            }
            ProfileView {
                id: profileView
                Layout.fillWidth: true
                Layout.fillHeight: true
            }
        }
        FV_MessagePane {
            id: messagePane
            objectName: "messagePane"
            log: messages
            Layout.fillWidth: true
            Layout.preferredHeight: 140
        }
    }

    footer: ToolBar {
        objectName: "statusBar"
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 6
            anchors.rightMargin: 6
            spacing: 16
            FV_Label { objectName: "statusFile"; text: kblade.HasFP ? kblade.Fp : "(not saved)" }
            FV_Label {
                objectName: "statusModel"
                text: kblade.ElementCount > 0 ? kblade.NodeCount + " nodes, " + kblade.ElementCount + " elements" : "no FE model"
            }
            FV_Label { objectName: "statusMessage"; Layout.fillWidth: true; text: messages.Last }
            // Values go to the solver as entered: the defaults hold together
            // in this system, and so must what the user types.
            FV_Label { objectName: "statusUnits"; text: "Units: mm, N, MPa, t/mm³, s" }
        }
    }

    // One file dialog for every file and folder the window asks for.
    FileDialog {
        id: fileDialog
        property string mode: "open"
        property int loadIndex: -1
        // What waits for a save under a new name (New, Open or close).
        property var afterSave: null
        onRejected: afterSave = null
        readonly property var modelFilters: ["Folvane Model Files (*.fvm)", "All files (*)"]
        readonly property var jsonFilters: ["Json Files (*.json)", "All files (*)"]
        readonly property var setup: ({
            open: {title: "Please choose a file", filters: modelFilters, existing: true},
            save: {title: "Please choose a file", filters: modelFilters, existing: false},
            importJson: {title: "Please choose a json file", filters: jsonFilters, existing: true},
            exportJson: {title: "Please save a json file", filters: jsonFilters, existing: false},
            importWindio: {title: "Please choose a windIO file", filters: ["windIO Files (*.yaml *.yml)", "All files (*)"], existing: true},
            importLoads: {title: "Please choose a load table", filters: ["Load Tables (*.csv *.txt)", "All files (*)"], existing: true},
            exportAnsys: {title: "Save as Ansys batch file", filters: ["Ansys Batch Files (*.inp)", "All files (*)"], existing: false},
            exportAbaqus: {title: "Save as ABAQUS input file", filters: ["ABAQUS Input Files (*.inp)", "All files (*)"], existing: false},
            exportCCX: {title: "Save as Calculix input file", filters: ["Calculix input Files (*.inp)", "All files (*)"], existing: false},
            exportObj: {title: "Save the mesh as a Wavefront OBJ file", filters: ["OBJ Files (*.obj)", "All files (*)"], existing: false},
            workFolder: {title: "Please choose a working folder", filters: [], existing: true, folder: true},
            program: {title: "Please select the analysis program", existing: true,
                      filters: ["windows executable file (*.exe)", "windows batch file (*.bat)", "shell file (*.sh)", "All files (*)"]},
            optFolder: {title: "Please choose a folder", filters: [], existing: true, folder: true},
            sampleFolder: {title: "Please choose a folder", filters: [], existing: true, folder: true}
        })
        title: setup[mode].title
        nameFilters: setup[mode].filters
        selectExisting: setup[mode].existing
        selectFolder: setup[mode].folder === true
        folder: kblade.HasFolder ? kblade.CurFolder : shortcuts.documents
        onAccepted: {
            // A chosen folder is the dialog's answer, not the folder it was
            // showing (which may be the last export's, or one that does not
            // exist).
            const chosen = selectFolder && fileUrl.toString().length === 0 ? folder : fileUrl
            kblade.CurFolder = selectFolder ? chosen : folder
            const url = fileUrl.toString()
            const path = FVstyle.urlToPath(chosen, Qt.platform.os === "windows")
            switch (mode) {
            case "open":
                var previous = kblade.Fp, hadPath = kblade.HasFP
                kblade.Fp = url
                messages.begin()
                if (kblade.readFile()) {
                    mainWindow.showDocument()
                    mainWindow.refreshView()
                } else {
                    // The document is unchanged, so it keeps its own path.
                    kblade.Fp = previous
                    kblade.HasFP = hadPath
                    messages.failed("Open failed")
                    notReadable.open()
                }
                break
            case "save":
                var next = afterSave
                afterSave = null
                mainWindow.saveAs(kblade.modelFilePath(url), next)
                break
            case "importJson":
                if (mainWindow.act("Import JSON", function() { return kblade.loadJson(url) }))
                    mainWindow.refreshView()
                break
            case "exportJson": mainWindow.act("Export JSON", function() { return kblade.saveJson(url) }); break
            case "importWindio":
                if (mainWindow.act("Import windIO", function() { return kblade.importWindio(url) })) {
                    mainWindow.showDocument()
                    mainWindow.refreshView()
                }
                break
            case "importLoads": mainWindow.act("Import load table", function() { return kblade.importLoadTable(url) }); break
            case "exportAnsys": mainWindow.act("Export of the ANSYS deck", function() { return kblade.exportAnsysInp(url, loadIndex) }); break
            case "exportAbaqus": mainWindow.act("Export of the Abaqus deck", function() { return kblade.exportAbaqusInp(url, loadIndex) }); break
            case "exportCCX": mainWindow.act("Export of the CalculiX deck", function() { return kblade.exportCCXInp(url, loadIndex) }); break
            case "exportObj": mainWindow.act("Export of the OBJ mesh", function() { return kblade.exportMeshObj(url) }); break
            case "workFolder": kblade.AnaSet.WorkDir = path; analysisWindow.refresh(); break
            case "program": kblade.AnaSet.ProDir = path; analysisWindow.refresh(); break
            case "optFolder": kblade.Models[KBlade.OptSet].OptDir = path; optWindow.refresh(); break
            case "sampleFolder": kblade.Models[KBlade.SampleSet].SamFolder = path; sampleWindow.refresh(); break
            }
        }
    }

    QuestionDialog {
        id: overwrite
        property string path
        property var next: null
        title: "Replace the file?"
        text: "The file " + path + " exists already. Replace it?"
        FV_Button {
            objectName: "replaceFile"
            text: "Replace"
            onClicked: {
                overwrite.close()
                mainWindow.writeAs(overwrite.path, overwrite.next)
            }
        }
        FV_Button { objectName: "keepFile"; text: "Cancel"; onClicked: overwrite.close() }
    }
    // A list refuses to delete what others use, naming them.
    MessageDialog {
        id: inUse
        title: "Not deleted"
        informativeText: "Change them to use another one first."
    }
    Connections {
        target: kblade
        function onRemovalRefused(message) {
            inUse.text = message + "."
            inUse.open()
        }
    }
    MessageDialog {
        id: notReadable
        title: "Open"
        text: "The file is not a complete model file; the document is unchanged."
        informativeText: "The message pane says why."
    }
    MessageDialog {
        id: noModel
        title: "Building the FE model failed"
        text: "The FE model could not be built: the message pane says why."
    }
    MessageDialog {
        id: failed
        title: "Folvane"
        informativeText: "The message pane says why."
    }

    // The analysis window's run: prepared here, run in the background.
    function runAnalysis(kind, loadIndex, modes) {
        commitEdits()
        messages.begin()
        if (!analysis.start(kind, loadIndex, modes)) {
            messages.failed("Analysis failed")
            failed.title = "Analysis"
            failed.text = "Analysis failed."
            failed.open()
        }
    }
    Connections {
        target: analysis
        function onFinished(succeeded, kind, cancelled) {
            if (succeeded) {
                feWindow.showResults(kind)
            } else if (!cancelled) {
                messages.failed("Analysis failed")
                failed.title = "Analysis"
                failed.text = "Analysis failed."
                failed.open()
            }
        }
    }
    AnalysisWindow {
        id: analysisWindow
        onRunRequested: mainWindow.runAnalysis(kind, loadIndex, modes)
        onBrowseWorkFolder: mainWindow.chooseFile("workFolder")
        onBrowseProgram: mainWindow.chooseFile("program")
    }
    FEWindow {
        id: feWindow
        onExportRequested: {
            kblade.Models[KBlade.Loads].updateModel()
            exportWindow.openWith(kblade.Models[KBlade.Loads].SonNames)
        }
        onExportObjRequested: mainWindow.chooseFile("exportObj")
        onPlotRequested: plotWindow.showResults()
    }
    PlotWindow {
        id: plotWindow
    }
    ExportWindow {
        id: exportWindow
        onExportChosen: {
            fileDialog.loadIndex = loadIndex
            mainWindow.chooseFile(["exportAnsys", "exportAbaqus", "exportCCX"][fileType])
        }
    }
    UnsavedDialog {
        id: unsaved
        onSave: {
            if (kblade.HasFP) {
                if (mainWindow.act("Save", function() { return kblade.writeFile() }))
                    mainWindow.runPending()
            } else {
                fileDialog.afterSave = mainWindow.pendingAction
                mainWindow.pendingAction = null
                mainWindow.chooseFile("save")
            }
        }
        onDiscard: mainWindow.runPending()
    }
    Par_Win { id: parWindow }
    Set_Win { id: settingWindow }
    Pro_Win { id: profileWindow }
    KeyInd_Win { id: keyWindow }
    Web_Win { id: webWindow }
    Mat_Win { id: materialWindow }
    Pat_Win { id: patternWindow }
    Sl_Win { id: layerWindow }
    Layup_Win { id: layupWindow }
    Load_Win { id: loadWindow }
    Mesh_Win { id: meshWindow }
    OptSet_Win { id: optWindow; onBrowseFolder: mainWindow.chooseFile("optFolder") }
    SampleSet_Win {
        id: sampleWindow
        onBrowseFolder: mainWindow.chooseFile("sampleFolder")
        onSampleRequested: mainWindow.act("Sampling", function() { return kblade.Models[KBlade.SampleSet].startSample() })
    }

    Component.onCompleted: profileView.update()
}
