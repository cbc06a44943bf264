import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "basic_items"

// Chooses the solver deck and the load case to export.
FV_Manager_Win {
    id: win
    title: "Export"
    width: 420
    height: 190
    signal exportChosen(int fileType, int loadIndex)

    function openWith(loadNames) {
        loadCase.model = ["None (geometry only)"].concat(loadNames)
        loadCase.currentIndex = 0
        open()
    }

    FV_Editor {
        window: win
        GridLayout {
            anchors.fill: parent
            columns: 2
            FV_Label { text: "File Type" }
            FV_ComboBox {
                id: fileType
                objectName: "fileType"
                Layout.fillWidth: true
                model: ["Ansys APDL", "ABAQUS", "Calculix"]
            }
            FV_Label { text: "Load Case:" }
            FV_ComboBox {
                id: loadCase
                objectName: "loadCase"
                Layout.fillWidth: true
            }
            Item { Layout.fillHeight: true }
            FV_Button {
                objectName: "exportButton"
                text: "Export"
                // The first entry is the geometry-only deck: load index -1.
                onClicked: {
                    win.close()
                    win.exportChosen(fileType.currentIndex, loadCase.currentIndex - 1)
                }
            }
        }
    }
}
