// Resource ids of the window-framework tests, in a range of their own.
#pragma once

#define IDS_FW_ITEM 62608
#define IDS_FW_BUTTON 62609
#define IDS_FW_WHOLE 62610
#define IDS_FW_NOENTRY 62611
#define IDS_FW_LONG 62612
#define IDS_FW_REFUSE 62613

#define IDM_FW_MENU 62630
#define IDD_FW_EXCHANGE 62640
#define IDD_FW_PANEL 62641

#define IDC_FW_TEXT 62701
#define IDC_FW_INT 62702
#define IDC_FW_DOUBLE 62703
#define IDC_FW_CHECK 62704
#define IDC_FW_RADIO1 62705
#define IDC_FW_RADIO2 62706
#define IDC_FW_RADIO3 62707
#define IDC_FW_TRACK 62708
#define IDC_FW_SLIDER 62709
#define IDC_FW_ANGLE 62710
#define IDC_FW_NOTIP 62711

#define IDB_FW_BUTTON 62650
