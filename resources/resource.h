// Resource, control and command ids shared by the resource script and the program.
#pragma once

// Icons
#define IDI_APP 101

// Main window controls
#define ID_REPORT_EDIT 1000

// About window controls
#define ID_ABOUT_OK 1001
#define ID_ABOUT_ICON 1002
#define ID_ABOUT_TITLE 1003
#define ID_ABOUT_VERSION 1004
#define ID_ABOUT_SEPARATOR 1005
#define ID_ABOUT_COPYRIGHT 1006
#define ID_ABOUT_COPYRIGHT2 1007
#define ID_ABOUT_LINK 1008
#define ID_ABOUT_LINK_LABEL 1009

// Menu commands
#define IDM_SAVE_REPORT 1010
#define IDM_EXIT 1011
#define IDM_ABOUT 1012
