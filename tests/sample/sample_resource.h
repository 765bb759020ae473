// Resource ids of the sample dialog app.
#define IDD_SAMPLE 100
#define IDC_ADD 1000
#define IDC_DONE 1001
#define IDC_SUM 1002
