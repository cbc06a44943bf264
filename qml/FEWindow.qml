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
    signal exportObjRequested()

    // Shows the model the document has just built.
    function showModel() {
        view.bounds = kblade.ElementCount > 0 ? kblade.modelBounds() : kblade.bladeBounds()
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
            namePrefix: "fe."
            Layout.fillWidth: true
            Layout.fillHeight: true
            onInitialViewSet: Qt.callLater(kblade.clearOld3DModel)
            tools: [
                FV_Checkbox { id: elements; text: "Element"; checked: true },
                FV_Checkbox { id: edges; text: "Edge"; checked: true },
                FV_Checkbox { id: byRegion; objectName: "colourByRegion"; text: "Colour by region"; checked: false },
                FV_Icon_Button { objectName: "exportAction"; text: "Export solver input"; iconSource: "qrc:/icons/export.svg"; onClicked: win.exportRequested() },
                FV_Button { objectName: "exportObjAction"; text: "Export OBJ"; onClicked: win.exportObjRequested() }
            ]
            PhongMaterial { id: faceMaterial; ambient: "#2E6B73"; diffuse: "#7FD3DC"; specular: "#202020"; shininess: 20 }
            PerVertexColorMaterial { id: regionMaterial }
            PhongMaterial { id: edgeMaterial; ambient: "#102027"; diffuse: "#102027"; specular: "black" }
            Entity {
                enabled: elements.checked
                components: kblade.FemEle ? [kblade.FemEle, byRegion.checked ? regionMaterial : faceMaterial] : []
            }
            Entity {
                enabled: edges.checked
                components: kblade.FemEdge ? [kblade.FemEdge, edgeMaterial] : []
            }
        }
        // Which colour is which region or web.
        Flow {
            objectName: "legend"
            visible: byRegion.checked && kblade.FemEle !== null
            Layout.fillWidth: true
            spacing: 10
            Repeater {
                model: kblade.FemGroups
                Row {
                    spacing: 4
                    Rectangle { width: 14; height: 14; color: modelData.color; border.color: "#555555"; anchors.verticalCenter: parent.verticalCenter }
                    FV_Label { objectName: "legend." + index; text: modelData.name }
                }
            }
        }
    }
}
