<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AddressTable</name>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mot Ver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IO Ver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConnectionGate</name>
    <message>
        <source>Not connected: the value was not written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected: the password was not sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected: the Secondary Graph request was not sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected: the firmware was not sent</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConnectionStatusWidget</name>
    <message>
        <source>no port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>address %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>connecting...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>access %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>last reply %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HoldingSections</name>
    <message>
        <source>Read %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 not written: aux holdings are written from the Auxiliar holdings table</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogArea</name>
    <message>
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear text</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainDocks</name>
    <message>
        <source>Input registers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Holding Registers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coils</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discrete inputs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auxiliar holdings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test steps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Secondary Graph</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time Graph</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Holding registers</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open parameter file...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save parameters...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open &amp;data log...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export Time Graph</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reset layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put every panel back where it was at the first start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Language (takes effect after a restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Drive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh port list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search addresses</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Access level...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Flash firmware...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;onfiguration...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;User guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainToolBars</name>
    <message>
        <source>Layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a configuration file to send to the inverter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a configuration file with the current inverter configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flash firmwar through RS485</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continuous communication updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change access level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Search addresses</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING! Settings XML not found, please select a new one and reload program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide holding registers table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide aux holdings tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide input registers table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide tools tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide secondary Graph</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search for modbus devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The window will use the chosen language after a restart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About MVX/MVZ configurator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;b&gt;MVX/MVZ configurator&lt;/b&gt;&lt;br&gt;Version %1&lt;br&gt;Built %2 %3&lt;br&gt;&lt;br&gt;Configurator, monitor and production tester for Modbus RTU motor drives.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loaded XML parameter file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current speed selection: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No serial port to connect to: plug in the adapter and press Refresh list, or set Last_Com in settings.xml to the port&apos;s path.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create the data log in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ostra Firmware (*.ofw)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update cancelled: nothing was sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> - flash failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error Count: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port disconnected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Broadcast address! will not reply!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Modbus</name>
    <message>
        <source>Connect failed: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write error: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read error: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
FALLO!. Error de comunicación<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ParamFile</name>
    <message>
        <source>Load parameters from file to drive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameter file:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and time of parameters:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hardware model (on file / inverter):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware version (on file / inverter):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameter definiton file used when saving:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On file:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On inverter:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seleccione XML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING: you will lose the current parametrization and go back to the firmware defaults. Firmware defaults may not be the correct ones for your motor; consult your distributor if you are unsure.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to set the default parameters?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: parameter file %1 not loaded (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ParameterFiles</name>
    <message>
        <source>Export to XML file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameters saved to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restoring the firmware default parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending %1 parameters from file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: the port is not connected; nothing was sent to the drive</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RamParamTable</name>
    <message>
        <source>Password not sent: it must be a number from 0 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RealtimeControls</name>
    <message>
        <source>Auto scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checked: the axis scales itself to what is shown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic scale of the %1 axis. Clear it to fix the axis to min..max</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RealtimePlot</name>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freeze the view here; polling and the data log go on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Live ▶</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to the newest data (the history was recorded meanwhile)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Follow the newest data with the axes as set below (or double-click the plot)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click the plot to place a cursor (two give differences)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open data log…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export PDF…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a data log in a graph of its own</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PNG picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PDF document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the shown time window&apos;s samples as CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cursor %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear cursors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing %1 failed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export the time graph</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open data log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data logs (*-log.txt);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication outage</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegisterTables</name>
    <message>
        <source>Read aux holdings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplayWindow</name>
    <message>
        <source>Data log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data log - %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 samples from %3, %4 curves%5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, P, Q and S worked out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 lines that were not data lines were skipped</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SecondaryGraph</name>
    <message>
        <source>Buffer A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Red trace:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Green trace:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blue trace:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points after alarm:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Min/Max vertical scale:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read variables</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read accelerometer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Values (clipboard)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>scale %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points to save after an alarm: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The accelerometer log cannot be created in %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TestPanel</name>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Motivo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Breve motivo del fallo:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Número de serie: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create the test&apos;s %1 log in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results database: %1; runs go to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today at %1: %2 boards, %3 failures, first-pass yield %4%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 at %2: %3%4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Serial number %1 was tested before, %2 run(s): %3&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TestStepTable</name>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Res</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimeGraphPanel</name>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UserGuideWindow</name>
    <message>
        <source>User guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user guide (README.md) was not found. Looked in:
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>config</name>
    <message>
        <source>Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Polling Time [ms]:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inverter XML:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8bits / No parity / 2 bit stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8bits / Odd par.  / 1 bit stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8bits / Even par. / 1 bit stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8bits / No parity / 1 bit stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SQLite in the log folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where every test run is recorded: empty for an SQLite file in the log folder, sqlite:PATH, or postgresql://USER@HOST:PORT/DBNAME for a server shared by the line (password from ~/.pgpass or PGPASSWORD).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Station name recorded with each run (empty: the host name).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port is a Modbus TCP gateway: its own serial line sets speed and framing. The polling time is at least 100 ms.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select log directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select XML configuration file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>filesave</name>
    <message>
        <source>%1 could not be saved: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no file name</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>logger</name>
    <message>
        <source>Log %1 could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>paramcompare</name>
    <message>
        <source>There are &lt;b&gt;%1&lt;/b&gt; parameters with different values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;&lt;b&gt;ERROR!&lt;/b&gt;&lt;/font&gt; Different hardware models. Parameter file can&apos;t be sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Different firmware version. Make sure parameters are compatible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Addresses above %1 can&apos;t be sent and are skipped: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>paramexport</name>
    <message>
        <source>no file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the disk may be full or the file in use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: parameter file %1 could not be saved (%2). Nothing was written.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>paramfile</name>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a register address: holding dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a 16-bit register value: holding dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no address: holding dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>passWindow</name>
    <message>
        <source>Change access level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access Level:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-- select a user level --</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level 1: user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level 2: distributor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level 3: developer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>portlist</name>
    <message>
        <source>Serial port, or a Modbus TCP gateway typed as tcp://HOST[:PORT]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>malformed XML, reading stopped: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown element ignored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not True or False: read as False</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be saved: the document could not be written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>statusline</name>
    <message>
        <source>none yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 s ago</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min ago</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>level unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>level %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>uilanguage</name>
    <message>
        <source>the name of this catalog&apos;s language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>As built</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
