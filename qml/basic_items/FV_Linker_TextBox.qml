import QtQuick 2.12
import Folvane 0.1
import "FVstyle.js" as FVstyle

// A linked value: shows its expression, writes every edit back to it.
FV_TextBox {
    property Linker linker
    color: FVstyle.linkerColor
    text: linker ? linker.Exp : ""
    onTextEdited: if (linker) linker.Exp = text
}
