import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import "FVstyle.js" as FVstyle

// Every message of the document and its lists, both channels, newest last.
// A failed action's own line is red and bold, the lines that say why are
// red; the latest failure stays named above the list.
ColumnLayout {
    id: pane
    property var log
    spacing: 2
    RowLayout {
        Layout.fillWidth: true
        FV_Label { text: "Messages"; font.bold: true }
        FV_Label {
            objectName: "lastFailure"
            Layout.fillWidth: true
            color: FVstyle.failureColor
            text: pane.log && pane.log.LastFailure.length > 0 ? "Last failure: " + pane.log.LastFailure : ""
        }
        FV_Button { text: "Clear"; onClicked: pane.log.clear() }
    }
    Rectangle {
        Layout.fillWidth: true
        Layout.fillHeight: true
        border.color: FVstyle.textBoxBorder
        ListView {
            id: lines
            objectName: "messageList"
            anchors.fill: parent
            anchors.margins: 2
            clip: true
            model: pane.log
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            onCountChanged: Qt.callLater(positionViewAtEnd)
            delegate: Text {
                objectName: "message." + index
                width: lines.width - 12
                text: model.text
                wrapMode: Text.WrapAnywhere
                font.pointSize: FVstyle.fontSize - 1
                font.bold: model.kind === 2
                color: model.kind === 0 ? FVstyle.messageColor : FVstyle.failureColor
            }
        }
    }
}
