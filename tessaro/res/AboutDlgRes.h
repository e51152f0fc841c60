#pragma once
// The About dialog.
#define IDD_ABOUTBOX 100
