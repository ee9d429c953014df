# Sourced by demo.sh and screenshots.sh: the settings.xml of a working directory that opens the
# example map on the given port at 115200 bps, address 1.
write_demo_settings() {  # write_demo_settings DIR PORT MAP
  cat >"$1/settings.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<App_Settings>
    <Languaje>English</Languaje>
    <Do_Logging>False</Do_Logging>
    <Log_Dir>log</Log_Dir>
    <Cfg_Dir>save</Cfg_Dir>
    <Last_Com>$2</Last_Com>
    <XML_drive>$3</XML_drive>
    <Modbus_Add>1</Modbus_Add>
    <Modbus_Speed>115200</Modbus_Speed>
    <Modbus_Config>0</Modbus_Config>
    <Poll_Interval>100</Poll_Interval>
    <Input_Register_Tab>True</Input_Register_Tab>
    <Holding_Register_Tab>True</Holding_Register_Tab>
    <Aux_Register_Tab>True</Aux_Register_Tab>
    <Tools_Tab>False</Tools_Tab>
    <Test_Tab>True</Test_Tab>
    <Docks_Layout>0</Docks_Layout>
</App_Settings>
XML
}
