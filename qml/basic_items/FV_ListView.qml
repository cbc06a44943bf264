import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

// The sons of a list by name, "1 - name", "2 - name", ...; selecting a row
// shows that son in the list's table (changeObject).
ListView {
    id: view
    property var list
    property bool editable: false
    model: list
    clip: true
    currentIndex: count > 0 ? 0 : -1
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}
    onCurrentIndexChanged: if (list && currentIndex >= 0) list.changeObject(currentIndex)
    // A list whose sons were replaced (a file read, New) shows, in its
    // table, the son this view has selected.
    Connections {
        target: view.list
        function onModelReset() {
            view.currentIndex = Math.min(Math.max(view.currentIndex, 0), view.count - 1)
            if (view.currentIndex >= 0)
                view.list.changeObject(view.currentIndex)
        }
    }
    // Re-reads the list after an outside change and keeps a valid selection.
    function refresh(row) {
        if (!list)
            return
        list.updateModel()
        currentIndex = Math.min(Math.max(row === undefined ? currentIndex : row, 0), count - 1)
        if (currentIndex >= 0)
            list.changeObject(currentIndex)
    }
    delegate: Rectangle {
        objectName: view.objectName + "." + index
        width: view.width
        height: FVstyle.rowHeight
        color: ListView.isCurrentItem ? FVstyle.hoverColor : "transparent"
        Row {
            anchors.fill: parent
            anchors.leftMargin: 4
            spacing: 2
            FV_Label {
                text: (index + 1) + " - "
                height: parent.height
            }
            FV_Label {
                visible: !view.editable
                text: name_user !== undefined ? name_user : ""
                height: parent.height
                width: view.width - 40
            }
            FV_TextBox {
                visible: view.editable
                text: name_user !== undefined ? name_user : ""
                width: view.width - 44
                height: parent.height - 4
                anchors.verticalCenter: parent.verticalCenter
                onActiveFocusChanged: if (activeFocus) view.currentIndex = index
                onEditingFinished: model.name_input = text
            }
        }
        MouseArea {
            anchors.fill: parent
            enabled: !view.editable
            onClicked: view.currentIndex = index
        }
    }
}
