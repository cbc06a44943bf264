import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import Folvane 0.1

ApplicationWindow {
    id: mainWindow
    visible: true
    width: 800
    height: 640
    title: "Folvane Demo v0.76 - " + kblade.Fp

    ListView {
        anchors.fill: parent
        anchors.margins: 10
        model: kblade
        delegate: Text {
            text: (index + 1) + " - " + name_user
            font.pointSize: 10
        }
    }
}
