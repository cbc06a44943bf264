import QtQuick 2.12
import QtQuick.Layouts 1.12
import "basic_items"

// A question and, in a row below it, the answer buttons given as children;
// each answer closes the dialog itself.
FV_Manager_Win {
    id: dialog
    property alias text: question.text
    default property alias answers: answerRow.data
    width: 440
    height: 150
    minimumHeight: 150
    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        FV_Label {
            id: question
            objectName: "questionText"
            Layout.fillWidth: true
            Layout.fillHeight: true
            // Long paths break anywhere.
            wrapMode: Text.Wrap
        }
        RowLayout {
            id: answerRow
            Layout.alignment: Qt.AlignRight
        }
    }
}
