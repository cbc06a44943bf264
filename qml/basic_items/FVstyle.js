.pragma library

var fontSize = 10
var buttonHeight = 3 * fontSize
var buttonWidth = 3 * buttonHeight
var buttonColor = '#E6E6E6'
var hoverColor = '#C8C8C8'
var pressedColor = '#AAAAAA'
var textBoxColor = 'white'
var textBoxBorder = '#AAAAAA'
var linkerColor = 'blue'
var messageColor = '#263238'
var failureColor = '#C62828'
var rowHeight = buttonHeight
var cellWidth = 110
var spacing = 6

// A folder or program chosen in a dialog, as a plain path: the scheme prefix
// goes, percent escapes are decoded; local paths keep their leading slash.
function urlToPath(url, windows) {
    var s = url.toString()
    if (s.indexOf("file:///") === 0)
        s = windows ? s.substring(8) : s.substring(7)
    else if (s.indexOf("qrc://") === 0 || s.indexOf("http://") === 0)
        s = s.substring(s.indexOf("//") + 2)
    return decodeURIComponent(s)
}
