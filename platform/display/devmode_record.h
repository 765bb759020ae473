/* CE's display mode record, written once for the device's windisplay.h and the CE layer's
   windows.h, each of which gives it its names: the includer declares WORD, DWORD, WCHAR,
   CCHDEVICENAME and CCHFORMNAME first. As CE lays it out, not as desktop Windows does (unions,
   another size): no unions, the orientation last. */
#ifndef VELORIN_DISPLAY_DEVMODE_RECORD_H
#define VELORIN_DISPLAY_DEVMODE_RECORD_H

struct _CE_DEVMODEW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmDisplayOrientation;
};

#endif
