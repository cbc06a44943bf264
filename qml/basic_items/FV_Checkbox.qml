import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

CheckBox {
    font.pointSize: FVstyle.fontSize
    implicitHeight: FVstyle.buttonHeight
    padding: 2
}
