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
    signal plotRequested()

    // Shows the model the document has just built, plain.
    function showModel() {
        view.bounds = kblade.ElementCount > 0 ? kblade.modelBounds() : kblade.bladeBounds()
        view.initialView()
        colourBy.currentIndex = 0
        // Edges closer than a few pixels would hide the faces' colours
        // (and double the drawing time): a fine mesh opens without them.
        edges.checked = kblade.ElementCount <= 20000
        picked = -1
        open()
    }
    // After an analysis: its results (von Mises, deformed) or its first mode.
    function showResults(kind) {
        const names = kblade.ViewQuantities
        var index = -1
        for (var i = 0; i < names.length && index < 0; ++i)
            if (kind === 0 ? names[i].startsWith("von Mises") : (names[i].startsWith("Mode") || names[i].startsWith("Buckling mode")))
                index = i
        deformScale.text = kind === 0 ? String(kblade.autoDeformScale()) : "1"
        view.bounds = kblade.modelBounds()
        picked = -1
        open()
        colourBy.currentIndex = index + 1
        win.redraw()
    }
    property int picked: -1
    function redraw() {
        picked = -1
        if (kblade.ElementCount === 0)
            return
        const scale = parseFloat(deformScale.text)
        kblade.showQuantity(Math.max(colourBy.currentIndex - 1, 0), colourBy.currentIndex > 0 && isFinite(scale) ? scale : 0)
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
            antialiased: kblade.ElementCount <= 20000
            Layout.fillWidth: true
            Layout.fillHeight: true
            onInitialViewSet: Qt.callLater(kblade.clearOld3DModel)
            onTapped: win.picked = kblade.pickElement(origin, direction)
            tools: [
                FV_Checkbox { id: elements; objectName: "showElements"; text: "Element"; checked: true },
                FV_Checkbox { id: edges; objectName: "showEdges"; text: "Edge"; checked: true },
                FV_Label { text: "Colour by:" },
                FV_ComboBox {
                    id: colourBy
                    objectName: "colourBy"
                    width: 260
                    model: ["Plain"].concat(kblade.ViewQuantities)
                    onActivated: win.redraw()
                },
                FV_Label { text: "Deformation ×" },
                FV_TextBox {
                    id: deformScale
                    objectName: "deformScale"
                    width: 70
                    text: "1"
                    onEditingFinished: win.redraw()
                },
                FV_Button { objectName: "plotAction"; text: "Span plots"; enabled: kblade.HasResults; onClicked: win.plotRequested() },
                FV_Icon_Button { objectName: "exportAction"; text: "Export solver input"; iconSource: "qrc:/icons/export.svg"; onClicked: win.exportRequested() },
                FV_Button { objectName: "exportObjAction"; text: "Export OBJ"; onClicked: win.exportObjRequested() }
            ]
            FV_FaceMaterial { id: faceMaterial; plain: colourBy.currentIndex === 0 }
            FV_LineMaterial { id: edgeMaterial }
            Entity {
                enabled: elements.checked
                components: kblade.FemEle ? [kblade.FemEle, faceMaterial] : []
            }
            Entity {
                enabled: edges.checked
                components: kblade.FemEdge ? [kblade.FemEdge, edgeMaterial] : []
            }
        }
        // Which colour is which region or web.
        Flow {
            objectName: "legend"
            visible: colourBy.currentIndex > 0 && kblade.ViewLegend.categorical === true && kblade.FemEle !== null
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
        // The colour scale of a quantity: its name, lowest and highest value.
        RowLayout {
            objectName: "colourLegend"
            visible: colourBy.currentIndex > 0 && kblade.ViewLegend.categorical === false && kblade.FemEle !== null
            Layout.fillWidth: true
            spacing: 6
            FV_Label { objectName: "legendName"; text: kblade.ViewLegend.name || "" ; font.bold: true }
            // How an element's value comes from its plies or corners.
            FV_Label { objectName: "legendNote"; visible: text.length > 0; text: kblade.ViewLegend.note ? "(" + kblade.ViewLegend.note + ")" : "" }
            FV_Label { objectName: "legendLow"; text: Number(kblade.ViewLegend.low || 0).toPrecision(4) }
            Rectangle {
                Layout.fillWidth: true
                height: 16
                border.color: "#555555"
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0.0; color: kblade.ScaleStops[0].color }
                    GradientStop { position: 0.25; color: kblade.ScaleStops[1].color }
                    GradientStop { position: 0.5; color: kblade.ScaleStops[2].color }
                    GradientStop { position: 0.75; color: kblade.ScaleStops[3].color }
                    GradientStop { position: 1.0; color: kblade.ScaleStops[4].color }
                }
            }
            FV_Label { objectName: "legendHigh"; text: Number(kblade.ViewLegend.high || 0).toPrecision(4) }
        }

        // What the clicked element holds.
        Column {
            objectName: "elementInfo"
            visible: win.picked >= 0
            Layout.fillWidth: true
            Repeater {
                model: win.picked >= 0 ? kblade.elementValues(win.picked) : []
                FV_Label { objectName: "elementInfo." + index; text: modelData; width: parent.width }
            }
        }
    }
}
