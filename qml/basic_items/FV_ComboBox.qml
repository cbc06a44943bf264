import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

ComboBox {
    implicitHeight: FVstyle.buttonHeight
    implicitWidth: FVstyle.cellWidth
    font.pointSize: FVstyle.fontSize
    topInset: 0
    bottomInset: 0
}
