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

// Scrolls the flickable, along x or y, the least that shows the item (a
// cell being edited) whole, or its start when it is the larger.
function reveal(flickable, item, horizontal) {
    var at = item.mapToItem(flickable.contentItem, 0, 0)
    if (horizontal)
        flickable.contentX = scrolledTo(flickable.contentX, flickable.width, at.x, item.width,
                                        flickable.originX, flickable.contentWidth)
    else
        flickable.contentY = scrolledTo(flickable.contentY, flickable.height, at.y, item.height,
                                        flickable.originY, flickable.contentHeight)
}

function scrolledTo(start, span, from, size, origin, extent) {
    var to = Math.min(Math.max(start, from + size - span), from)
    return Math.max(origin, Math.min(to, origin + extent - span))
}
