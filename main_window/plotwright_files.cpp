#include "plotwright.h"

// Placeholder bodies until the file commands are built.
QString Plotwright::ReadFileText(const QString&) { return {}; }
bool Plotwright::WriteFileText(const QString&, const QString&) { return false; }
void Plotwright::mnuFileOpenData_Click() {}
void Plotwright::mnuFileOpenCustomizing_Click() {}
void Plotwright::mnuFileAddCustomizing_Click() {}
void Plotwright::mnuFileSaveCustomizing_Click() {}
void Plotwright::mnuFileSavePicture_Click() {}
void Plotwright::mnuFilePrint_Click() {}
void Plotwright::mnuFileExit_Click() {}
bool Plotwright::LoadPwSample(const QString&, QString&, QString&) { return false; }
bool Plotwright::SavePwSample(const QString&, const QString&, const QString&) { return false; }
void Plotwright::OpenSample() {}
void Plotwright::SaveSample() {}
