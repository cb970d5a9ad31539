// State of the running installer and its operations on the system: the
// parameter check, the three installation steps and the error box. The steps
// are given the checked parameters and read nothing of setup.ini themselves.
#pragma once
#include <windows.h>

#include "installer/setup_rules.h"

extern SetupParameters Parameters;
// The wizard's frame once the start page knows it: the owner of every box.
extern HWND WizardFrame;

bool LoadSetupParameters();
void ShowSetupError(const char* text);

// Shows one line of status while the installation runs.
using StatusOperation = void (*)(const char* text);
bool RunInstallation(const SetupParameters& params, StatusOperation status);
bool CreateTargetDirectory(const SetupParameters& params);
bool CopyPackageFiles(const SetupParameters& params);
bool WriteRegistryEntries(const SetupParameters& params);

// The wizard: shows its three pages until the user closes it.
void ShowWizard(HINSTANCE instance);
