import QtQuick 2.12
import QtQuick.Layouts 1.12
import "basic_items"

// Asked before the document is replaced or the window closes while it has
// changes that are not saved: save them, drop them, or do nothing.
FV_Manager_Win {
    id: dialog
    title: "Unsaved changes"
    width: 440
    height: 150
    minimumHeight: 150
    signal save()
    signal discard()
    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        FV_Label {
            Layout.fillWidth: true
            Layout.fillHeight: true
            wrapMode: Text.WordWrap
            text: "The document has changes that are not saved. Save them first?"
        }
        RowLayout {
            Layout.alignment: Qt.AlignRight
            FV_Button { objectName: "saveChanges"; text: "Save"; onClicked: { dialog.close(); dialog.save() } }
            FV_Button { objectName: "discardChanges"; text: "Discard"; onClicked: { dialog.close(); dialog.discard() } }
            FV_Button { objectName: "cancelChanges"; text: "Cancel"; onClicked: dialog.close() }
        }
    }
}
