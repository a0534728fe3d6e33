import QtQuick
import Quorvelle

// A rounded outline dashed 4 on, 4 off, drawn inside the item's bounds in the theme's dashed
// border colour; nothing filled.
Canvas {
    id: root

    property real radius: 14
    readonly property color strokeColor: DesktopTheme.colors.dashedBorder

    onStrokeColorChanged: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()

    onPaint: {
        const context = getContext("2d")
        context.reset()
        context.strokeStyle = root.strokeColor
        context.lineWidth = 1
        context.setLineDash([4, 4])
        const inset = 0.5
        const w = width - 2 * inset
        const h = height - 2 * inset
        const r = Math.min(root.radius, w / 2, h / 2)
        context.beginPath()
        context.moveTo(inset + r, inset)
        context.arcTo(inset + w, inset, inset + w, inset + h, r)
        context.arcTo(inset + w, inset + h, inset, inset + h, r)
        context.arcTo(inset, inset + h, inset, inset, r)
        context.arcTo(inset, inset, inset + w, inset, r)
        context.closePath()
        context.stroke()
    }
}
