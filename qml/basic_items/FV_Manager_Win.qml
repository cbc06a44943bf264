import QtQuick 2.12
import QtQuick.Window 2.12

// An application-modal editor window, hidden until opened.
Window {
    modality: Qt.ApplicationModal
    visible: false
    color: "#FAFAFA"
    minimumWidth: 320
    minimumHeight: 200
    function open() {
        show()
        raise()
        requestActivate()
    }
}
