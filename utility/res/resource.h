// Resource ids of Velorin, shared by velorin.rc and the utility's code.
#ifndef VELORIN_RESOURCE_H
#define VELORIN_RESOURCE_H

#define IDD_CHARGE_SCREEN 102
#define IDD_CLOSE_NOTIFY 135

#define IDI_VELORIN 128

#define IDB_BATTERY_FULL 130
#define IDB_BATTERY_EMPTY 131
#define IDB_CHARGE_SYMBOL 132
#define IDB_GAUGE 133
#define IDB_DIGITS 134

#define IDC_DISMISS 1000
#define IDC_CLOSE 1001

// Resource editors' id for text nobody addresses; no system header defines it.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
