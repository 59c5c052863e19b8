#include "app/uninstall_batch.h"

std::string UninstallBatchText(const std::string& executablePath)
{
    std::string text = ":f\r\n";
    text += "DEL \"" + executablePath + "\"\r\n";
    text += "IF EXIST \"" + executablePath + "\" goto f\r\n";
    text += "DEL %0\r\n";
    return text;
}
