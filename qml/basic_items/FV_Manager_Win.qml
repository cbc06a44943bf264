import QtQuick 2.12
import QtQuick.Window 2.13

// An application-modal editor window, hidden until opened. A value still
// being typed is committed when the window closes (however it is closed)
// and whenever the main window acts on the document.
Window {
    id: win
    modality: Qt.ApplicationModal
    visible: false
    color: "#FAFAFA"
    minimumWidth: 320
    minimumHeight: 200
    property bool placed: false
    function open() {
        // First shown over the middle of the window it belongs to; after
        // that where the user left it.
        if (!placed && transientParent) {
            x = transientParent.x + Math.max(0, (transientParent.width - width) / 2)
            y = transientParent.y + Math.max(0, (transientParent.height - height) / 2)
            placed = true
        }
        show()
        raise()
        requestActivate()
    }
    // The field being edited writes its value, as it does when editing
    // finishes (Enter, or a click elsewhere).
    function commit() {
        const item = activeFocusItem
        if (visible && item && item.editingFinished)
            item.editingFinished()
    }
    onClosing: commit()
}
