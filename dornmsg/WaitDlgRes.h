#pragma once
// Resource identifiers of DORNMSG.dll.
#define IDD_WAITDLG 151
#define IDC_WAIT_ANIMATE 1007
#define IDC_WAIT_MESSAGE 1017
#define IDS_PREPARING 104
#define IDR_AVI_BALL 205
#define IDR_AVI_WHEEL 207
#define IDR_AVI_WALKER 210
