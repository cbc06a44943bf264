import QtQuick 2.12
import QtQuick.Layouts 1.12
import "basic_items"

// The curves along the span of the current results, as -plot draws them.
FV_Manager_Win {
    id: win
    title: "Span Plots"
    width: 1000
    height: 760
    modality: Qt.NonModal

    function showResults() {
        open()
        plotter.plotResults()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 6
        FV_Label {
            objectName: "plotStatus"
            text: plotter.Busy ? "Drawing…" : (plotter.Image.toString() === "" ? "No plot yet" : "")
            visible: text !== ""
        }
        Image {
            objectName: "spanPlotImage"
            Layout.fillWidth: true
            Layout.fillHeight: true
            fillMode: Image.PreserveAspectFit
            asynchronous: true
            cache: false
            source: plotter.Image
        }
    }
}
