#pragma once
// Resources of fw_win32_test.
#define IDD_FW_TEST 200
#define IDD_FW_TEST_VISIBLE 201       // extended template with WS_VISIBLE
#define IDD_FW_TEST_VISIBLE_PLAIN 202 // plain template with WS_VISIBLE
#define IDC_TEST_CHECK 1001
#define IDC_TEST_RADIO1 1002
#define IDC_TEST_RADIO2 1003
#define IDC_TEST_RADIO3 1004
#define IDC_TEST_EDIT 1005
#define IDC_TEST_AFTER 1006
