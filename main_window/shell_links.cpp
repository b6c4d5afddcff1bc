#include "shell_links.h"

AboutForm::~AboutForm() = default;
