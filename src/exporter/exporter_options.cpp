#include "exporter/exporter_options.h"

#include <CLI/CLI.hpp>

#include "skyrelay_version.h"

std::optional<int> parseExporterOptions(int argc, const char* const* argv,
                                        ExporterOptions& options) {
    CLI::App app{
        "skyrelay-exporter: the antenna control units (ACUs) of a fleet for Prometheus. "
        "It watches each ACU of the configuration read-only (identification, then the "
        "status poll) and serves /metrics, /-/healthy and /api/v1/acus.",
        "skyrelay-exporter"};
    app.set_version_flag("--version", std::string("skyrelay-exporter ") + kSkyrelayVersion);
    app.add_option("--config", options.configFile,
                   "The YAML file that lists the ACUs: acus: - name: NAME, port: DEVICE or "
                   "ADDRESS (tcp://, rfc2217://, +tls), tls_ca: FILE, tls_cert: FILE, tls_key: "
                   "FILE, insecure_tls: true")
        ->required();
    app.add_option("--web.listen-address", options.listenAddress,
                   "Where to serve HTTP: HOST:PORT, [IPV6]:PORT, or :PORT for every interface")
        ->capture_default_str();
    app.add_option("--web.config.file", options.webConfigFile,
                   "The YAML file, in the format Prometheus' exporters read, that turns on TLS "
                   "(tls_server_config: cert_file, key_file, client_auth_type, client_ca_file) "
                   "and basic authentication (basic_auth_users: user: bcrypt hash). Without it "
                   "the exporter serves plain HTTP to anyone: for a trusted network only");
    double seconds = std::chrono::duration<double>(options.reconnectDelay).count();
    app.add_option("--reconnect-delay", seconds,
                   "Seconds before the first new try after a hang-up, a give-up or a failed "
                   "open; each failure doubles it, up to ten times this")
        ->check(CLI::Range(0.1, 3600.0))
        ->capture_default_str();
    app.footer(
        "Exit status: 0 after SIGINT or SIGTERM; 1 on bad usage, a configuration or web "
        "configuration error (its file, line and field named) or an address it cannot listen "
        "on.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : 1;
    }
    options.reconnectDelay =
        std::chrono::milliseconds{static_cast<long long>(seconds * 1000.0 + 0.5)};
    return std::nullopt;
}
