// Resource ids of the conformance suite's program.
#ifndef CONFORMANCE_RESOURCE_H
#define CONFORMANCE_RESOURCE_H

#define IDD_CONFORMANCE 100
#define IDC_FIRST 1001
#define IDC_DEFAULT 1002
#define IDC_OTHER 1003
#define IDD_BAD_CONTROL 101
#define IDB_CONFORMANCE 200
#define IDI_CONFORMANCE 300
#define IDS_CONFORMANCE 400
#define IDS_SECOND 401

#endif
