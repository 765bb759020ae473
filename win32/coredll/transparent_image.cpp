// CE's TransparentImage: desktop Windows has the same copy as TransparentBlt, which takes only
// a device context as its source.
#include <windows.h>

BOOL WINAPI TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc, LONG SrcX,
                             LONG SrcY, LONG SrcCx, LONG SrcCy, COLORREF TransparentColor)
{
    if (GetObjectType(hSrc) != OBJ_BITMAP) {
        return TransparentBlt(hdcDest, DstX, DstY, DstCx, DstCy, static_cast<HDC>(hSrc), SrcX, SrcY, SrcCx, SrcCy,
                              TransparentColor);
    }
    const HDC memory = CreateCompatibleDC(hdcDest);
    if (!memory)
        return FALSE;
    const HGDIOBJ previous = SelectObject(memory, hSrc);
    const BOOL copied =
        TransparentBlt(hdcDest, DstX, DstY, DstCx, DstCy, memory, SrcX, SrcY, SrcCx, SrcCy, TransparentColor);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return copied;
}
