<?xml version="1.0" encoding="ISO-8859-1"?>
<xsl:stylesheet>
  <xsl:template match="name='book'">
    <html>
      <head>
        <title><xsl:value-of select="child::title"/></title>
        <style>
          body { font-family: serif; background: #f4f1ea; }
          .card { background: white; max-width: 28em; margin: 3em auto; padding: 1.5em 2em; border-radius: 8px; box-shadow: 0 2px 8px #0003; }
          .meta { color: #666; }
          .price { font-size: x-large; color: #463; }
        </style>
      </head>
      <body>
        <div class="card">
          <h1><xsl:value-of select="child::title"/></h1>
          <p class="meta">by <xsl:for-each select="name='author'"><xsl:value-of select="' ' + value"/></xsl:for-each></p>
          <p class="meta">Published<xsl:value-of select="' ' + child::year"/></p>
          <p class="meta">Language<xsl:value-of select="' ' + upper(@lang)"/></p>
          <p class="meta">ISBN<xsl:value-of select="' ' + @isbn"/></p>
          <p class="price"><xsl:value-of select="format(child::price, '%.2f') + ' ' + child::price@currency"/></p>
          <xsl:if test="child::summary &lt;&gt; ''">
            <p><xsl:value-of select="child::summary"/></p>
          </xsl:if>
        </div>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
