import QtQuick 2.12
import QtQuick.Controls 2.12
import Folvane 0.1
import "FVstyle.js" as FVstyle

// A linked value: shows its expression, writes every edit back to it. An
// expression that does not evaluate shows red; the tool tip gives the value.
FV_TextBox {
    id: box
    property Linker linker
    // Against the parameters as they are now, refreshed on every edit and
    // whenever the pointer comes over the box.
    property real evaluated: NaN
    function reevaluate() { evaluated = linker ? linker.currentValue() : NaN }

    valid: !linker || isFinite(evaluated)
    color: FVstyle.linkerColor
    text: linker ? linker.Exp : ""
    onTextEdited: {
        if (linker)
            linker.Exp = text
        reevaluate()
    }
    onTextChanged: reevaluate()
    onLinkerChanged: reevaluate()
    onHoveredChanged: if (hovered) reevaluate()
    toolTip: !linker ? "" : valid ? "= " + Number(evaluated.toPrecision(6))
                                  : "Does not evaluate: an empty expression, a typo or an unknown parameter"
}
