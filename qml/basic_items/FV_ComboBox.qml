import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

ComboBox {
    implicitHeight: FVstyle.buttonHeight
    implicitWidth: FVstyle.cellWidth
    font.pointSize: FVstyle.fontSize
    topInset: 0
    bottomInset: 0
    // Whether the choice shown reads in full (not cut short).
    readonly property bool textFits: contentItem.implicitWidth <= contentItem.width + 0.5
}
