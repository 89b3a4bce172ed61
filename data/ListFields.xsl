<?xml version="1.0" encoding="UTF-8"?>
<!-- The fields shown on the list page, in their chosen (numeric) order. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" encoding="UTF-8"/>
  <xsl:template match="/">
    <ListFields>
      <xsl:for-each select="/*/Fields/Field[ListFieldOptions/ShowField='TRUE']">
        <xsl:sort select="ListFieldOptions/FieldOrder" data-type="number" order="ascending"/>
        <xsl:copy-of select="."/>
      </xsl:for-each>
    </ListFields>
  </xsl:template>
</xsl:stylesheet>
