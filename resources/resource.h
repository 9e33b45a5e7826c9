// Resource ids of the library, ordered by kind and, for dialogs, by page.
#ifndef ZEVR_RESOURCE_H
#define ZEVR_RESOURCE_H

// String table
#define IDS_FIELD_LIMIT 8
#define IDS_FIELD_EMPTY 9
#define IDS_AUTOMATIC 11
#define IDS_FIVE_TIMES 12
#define IDS_TEN_TIMES 13
#define IDS_FOREVER 14
#define IDS_WHATS_THIS 22
#define IDS_DEFAULTS 23
#define IDS_WINDOWS_DEFAULT 26
#define IDS_BAD_DOMAIN 27
#define IDS_FIELD_RANGE 30
#define IDS_FIELD_RANGE_CAPTION 31
#define IDS_NFS_CLIENT_TITLE 34
#define IDS_FILE_SHARING_TITLE 35
#define IDS_NAME_SERVICE_TITLE 36
#define IDS_NEED_SERVER 37

// File-sharing sheet: NFS Server page
#define IDD_NFS_SERVER 104
#define IDC_NFS_SERVER_ENABLE 1016
#define IDC_NFS_SERVER_LOGGING 1017

// File-sharing sheet: Logging page
#define IDD_EVENT_LOG 106
#define IDC_EVENT_LOG_ENABLE 1038
#define IDC_EVENT_LOG_SAVE 1039
#define IDC_EVENT_LOG_FILE 1040

#endif
