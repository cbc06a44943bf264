import QtQuick 2.12
import QtQuick.Layouts 1.12
import Qt3D.Core 2.12
import Qt3D.Render 2.12
import Qt3D.Extras 2.12
import Folvane 0.1
import "basic_items"

// The FE mesh: element faces and edges, and the deck export.
FV_Manager_Win {
    id: win
    title: "FE Model"
    width: 900
    height: 700
    modality: Qt.NonModal
    signal exportRequested()

    // Shows the model the document has just built.
    function showModel() {
        view.startLoc = kblade.StartLoc
        view.endLoc = kblade.EndLoc
        view.initialView()
        open()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 6
        FV_Label {
            objectName: "noModel"
            visible: !kblade.FemEle
            Layout.fillWidth: true
            color: "#C62828"
            text: "No FE model: the last build failed, and the message pane of the main window says why."
        }
        FV_View3D {
            id: view
            Layout.fillWidth: true
            Layout.fillHeight: true
            onInitialViewSet: Qt.callLater(kblade.clearOld3DModel)
            tools: [
                FV_Checkbox { id: elements; text: "Element"; checked: true },
                FV_Checkbox { id: edges; text: "Edge"; checked: true },
                FV_Icon_Button { objectName: "exportAction"; text: "Export"; iconSource: "qrc:/icons/export.svg"; onClicked: win.exportRequested() }
            ]
            PhongMaterial { id: faceMaterial; ambient: "#008B8B"; diffuse: "cyan"; specular: "#202020" }
            PhongMaterial { id: edgeMaterial; ambient: "#102027"; diffuse: "#102027"; specular: "black" }
            Entity {
                enabled: elements.checked
                components: kblade.FemEle ? [kblade.FemEle, faceMaterial] : []
            }
            Entity {
                enabled: edges.checked
                components: kblade.FemEdge ? [kblade.FemEdge, edgeMaterial] : []
            }
        }
    }
}
