import QtQuick 2.12
import QtQuick.Layouts 1.12
import "FVstyle.js" as FVstyle

// The body of an editor window: its content above, an "Ok" button below
// that closes the window.
GridLayout {
    id: editor
    default property alias content: body.data
    property var window
    anchors.fill: parent
    anchors.margins: 10
    rows: 2
    columns: 1
    rowSpacing: 8
    Item {
        id: body
        Layout.fillWidth: true
        Layout.fillHeight: true
    }
    FV_Button {
        text: "Ok"
        Layout.alignment: Qt.AlignRight
        onClicked: if (editor.window) editor.window.close()
    }
}
