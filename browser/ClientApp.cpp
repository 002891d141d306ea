#include "browser/ClientApp.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>
#include <QVariantList>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace browser {

QList<ExtensionEntry> ClientApp::commandTable()
{
    const auto entry = [](const char* name, const char* parameters) {
        return ExtensionEntry{QString::fromLatin1(name), QString::fromLatin1(name), QString::fromLatin1(parameters)};
    };
    return {entry("GetSoftVersion", ""), entry("ShowMessage", "param"),  entry("ForceLogin", ""),
            entry("ClosePelmora", ""),   entry("CheckOnLine", "param"),  entry("GetMacAddressInfo", ""),
            entry("CloseCurrentDlg", "param"), entry("Login", "a,b,c,d,e"), entry("OpenUrl", "a,b"),
            entry("CloseWebPage", "param"), entry("ChangePage", "param"), entry("SetTopData", "param"),
            entry("ShowDevTools", "")};
}

QString ClientApp::appExtensionSource()
{
    return QStringLiteral("var app;if (!app)    app = {};(function() {    app.GetId = function() {        native "
                          "function GetId();        return GetId();    };})();");
}

QString ClientApp::generateExtension(const QString& objectName, const QList<ExtensionEntry>& entries)
{
    const QString& n = objectName;
    QString source = QLatin1String("var ") + n + QLatin1String(";if (!") + n + QLatin1String(")    ") + n
        + QLatin1String("= {};(function() {");
    for (const ExtensionEntry& e : entries) {
        source += QLatin1String("    ") + n + QLatin1Char('.') + e.name + QLatin1String(" = function(") + e.parameters
            + QLatin1String(") {        native function ") + e.nativeName + QLatin1String("();        return ")
            + e.nativeName + QLatin1Char('(') + e.parameters + QLatin1String(");    };");
    }
    source += QLatin1String("})();");
    return source;
}

QString ClientApp::pmExtensionSource()
{
    return generateExtension(QStringLiteral("pm"), commandTable());
}

QString ClientApp::bridgeMarker()
{
    return QStringLiteral("\x01kavren-bridge\x01");
}

QString ClientApp::bindNativeFunctions(const QString& extensionSource)
{
    static const QRegularExpression declaration(QStringLiteral(R"(native function (\w+)\(\);)"));
    QString bound = extensionSource;
    bound.replace(declaration,
                  QStringLiteral(R"(function \1() { return window.__kavrenBridge("\1", arguments); })"));
    return bound;
}

QString ClientApp::loaderScript()
{
    QString marker = QString::fromUtf8(
        QJsonDocument::fromVariant(QVariantList{bridgeMarker()}).toJson(QJsonDocument::Compact));
    marker = marker.mid(1, marker.size() - 2); // a JSON string is a valid script string literal
    return QLatin1String(R"JS((function () {
  'use strict';
  if (window.__kavrenBridge) return;
  // Our own reference, taken before any page script runs: a page that replaces
  // window.prompt cannot break the bridge, and its own prompt() keeps the normal box.
  var nativePrompt = window.prompt;
  var marker = )JS") + marker + QLatin1String(R"JS(;
  var chunkSize = )JS") + QString::number(kBridgeChunkSize) + QLatin1String(R"JS(;
  function tag(v) {
    if (v === undefined) return {t: 'u'};
    if (v === null) return {t: 'l'};
    switch (typeof v) {
      case 'string': return {t: 's', v: v};
      case 'number': return {t: 'n', v: isFinite(v) ? v : null};
      case 'boolean': return {t: 'b', v: v};
      default: return {t: 'o'};
    }
  }
  function call(name, args) {
    var tagged = [];
    for (var i = 0; i < args.length; ++i) tagged.push(tag(args[i]));
    var body = JSON.stringify({n: name, a: tagged});
    var reply;
    try {
      if (body.length <= chunkSize) {
        reply = nativePrompt.call(window, marker + 'C' + body, '');
      } else {
        // The engine cuts dialog texts at about 10 KB: longer calls travel in parts.
        for (var at = 0; at < body.length;) {
          var end = Math.min(at + chunkSize, body.length);
          var code = body.charCodeAt(end - 1);
          if (end < body.length && code >= 0xD800 && code <= 0xDBFF) --end; // keep surrogate pairs whole
          reply = nativePrompt.call(window, marker + (end < body.length ? 'P' : 'E') + body.substring(at, end), '');
          at = end;
        }
      }
    } catch (e) {
      return undefined;
    }
    if (typeof reply !== 'string' || reply === '') return undefined;
    try {
      var answer = JSON.parse(reply);
      if (answer.t === 's' || answer.t === 'i') return answer.v;
    } catch (e) {}
    return undefined;
  }
  Object.defineProperty(window, '__kavrenBridge', {value: call});
  ['CB_CustomFunction', 'ExJs', 'CB_ExJsWithContext'].forEach(function (name) {
    window[name] = function () { return call(name, arguments); };
  });
})();
)JS") + bindNativeFunctions(appExtensionSource()) + QLatin1Char('\n') + bindNativeFunctions(pmExtensionSource())
        + QLatin1Char('\n');
}

void ClientApp::install(QWebEngineProfile& profile)
{
    QWebEngineScript script;
    script.setName(QStringLiteral("kavren-bridge"));
    script.setSourceCode(loaderScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile.scripts()->insert(script);
}

} // namespace browser
