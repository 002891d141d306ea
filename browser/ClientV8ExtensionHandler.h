#pragma once

#include "browser/BridgeAnswer.h"
#include "browser/ScriptValue.h"

namespace browser {

class ScriptShell;

// The script command dispatcher: every native function page script can call ends here. Plain
// logic over the ScriptShell interface; it never throws and ignores calls whose name,
// argument count or codes it does not know.
class ClientV8ExtensionHandler
{
public:
    explicit ClientV8ExtensionHandler(ScriptShell& shell);

    BridgeAnswer execute(const QString& name, const ScriptArgs& args);

    // The script text CB_ExJsWithContext runs: "f(" + each further argument's text + "," …,
    // cut at the last comma, then ")".
    static QString buildContextScript(const QString& function, const ScriptArgs& args, int firstArgument);
    // A text read by its leading decimal number (blanks and a sign allowed), 0 when there is none.
    static int leadingInteger(const QString& text);

private:
    void customFunction(const ScriptArgs& args);

    ScriptShell& m_shell;
};

} // namespace browser
